#!/usr/bin/env bash
# The host-side tests in another Debian release, for its GNU Octave:
#   debian_suite.sh SUITE SOURCE_DIR WORK_DIR
# makes a minimal Debian SUITE (trixie, testing, ...) with debootstrap from the
# mirror this machine's apt uses, copies the source tree into it, and there
# runs scripts/setup.sh, a build, and in_chroot.sh's tests.  Needs root.
# The chroot lives in WORK_DIR/root for one run: made afresh each time,
# removed after a pass, kept after a failure for a look (and removed by the
# next run).  Everything mounted for it lives in a mount namespace of its
# own, so that nothing stays mounted whatever ends the run.
# Environment: VORLAN_DEBIAN_MIRROR overrides the mirror; VORLAN_CHROOT_SECONDS
# bounds the whole run (default 1500).
set -euo pipefail
suite=$1
source_dir=$(cd "$2" && pwd)
work_dir=$3
here=$(cd "$(dirname "$0")" && pwd)
root=$work_dir/root
seconds=${VORLAN_CHROOT_SECONDS:-1500}

fail() {
  echo "FAIL ($suite): $*" >&2
  exit 1
}
[ "$(id -u)" -eq 0 ] || fail "debootstrap and chroot need root"
for program in debootstrap unshare chroot; do
  command -v "$program" >/dev/null || fail "$program not found (scripts/setup.sh test installs it)"
done

# The archive this machine's apt installs its own release from: the URI of the
# first source (one-line or deb822 format) that lists that release's codename.
host_mirror() {
  local codename
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  { cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources \
    2>/dev/null || true; } | awk -v codename="$codename" '
      /^[ \t]*deb[ \t]/ {
        sub(/\[[^]]*\][ \t]*/, "")
        if ($3 == codename) { print $2; exit }
      }
      /^[ \t]*$/ { uris = ""; suites = "" }
      /^URIs:/ { uris = $2 }
      /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == codename) suites = codename }
      { if (uris != "" && suites != "") { print uris; exit } }'
}
mirror=${VORLAN_DEBIAN_MIRROR:-$(host_mirror)}
mirror=${mirror%/}
[ -n "$mirror" ] || fail "no Debian mirror found in /etc/apt/sources.list*"

started=$SECONDS
elapsed() { echo "$((SECONDS - started)) s"; }
mkdir -p "$work_dir"

# The suite's signed Release file: the mirror has to serve it.
release=$work_dir/InRelease
rm -f "$release"
if ! /usr/lib/apt/apt-helper download-file "$mirror/dists/$suite/InRelease" "$release" \
  >"$work_dir/release-download.log" 2>&1; then
  cat "$work_dir/release-download.log" >&2
  fail "the mirror $mirror does not serve the Debian suite '$suite'"
fi
field() { sed -n "s/^$1: //p" "$release" | head -n 1; }
version=$(field Version)
echo "Debian $suite from $mirror: $(field Codename) ${version:+$version }(dated $(field Date))"
apt_options=""
valid_until=$(field Valid-Until)
if [ -n "$valid_until" ] && [ "$(date -d "$valid_until" +%s)" -lt "$(date +%s)" ]; then
  echo "its Release file expired on $valid_until: apt in the chroot is told to accept it"
  apt_options="Acquire::Check-Valid-Until \"false\";"
fi

# A chroot a failed run left behind: nothing may be mounted in it any more.
if [ -e "$root" ]; then
  if awk -v root="$root" '$5 == root || index($5, root "/") == 1 { found = 1 }
                          END { exit !found }' /proc/self/mountinfo; then
    fail "something is still mounted under $root: unmount it first"
  fi
  rm -rf --one-file-system "$root"
fi

# Everything below in a mount and PID namespace of its own, bounded in time:
# when it ends, all its mounts and processes end with it.
status=0
timeout --kill-after=30 "$seconds" \
  unshare --mount --pid --fork --propagation private --kill-child \
  "$here/chroot_session.sh" "$suite" "$mirror" "$source_dir" "$root" "$apt_options" || status=$?
if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
  echo "the chroot run did not end within $seconds s" >&2
fi
echo "Debian $suite: $(elapsed) in all, status $status"
if [ "$status" -ne 0 ]; then
  echo "the chroot is kept in $root for a look" >&2
  exit 1
fi
rm -rf --one-file-system "$root"
