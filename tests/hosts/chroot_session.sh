#!/usr/bin/env bash
# debian_suite.sh's run inside its own mount and PID namespace:
#   chroot_session.sh SUITE MIRROR SOURCE_DIR ROOT APT_OPTIONS
# Mounts made here vanish with the namespace.
set -euo pipefail
suite=$1
mirror=$2
source_dir=$3
root=$4
apt_options=$5

step_started=$SECONDS
step() {
  echo "-- $1: $((SECONDS - step_started)) s"
  step_started=$SECONDS
}

if ! debootstrap --variant=minbase "$suite" "$root" "$mirror" >"$root.debootstrap.log" 2>&1; then
  tail -n 30 "$root.debootstrap.log" >&2
  echo "debootstrap of $suite from $mirror failed" >&2
  exit 1
fi
step "debootstrap --variant=minbase $suite"
# A chroot for one run: dpkg need not sync each file to disk.
echo force-unsafe-io >"$root/etc/dpkg/dpkg.cfg.d/vorlan-unsafe-io"
if [ -n "$apt_options" ]; then
  echo "$apt_options" >"$root/etc/apt/apt.conf.d/99vorlan-release-validity"
fi

# The source tree as git sees it (tracked and new files, no build trees), or
# without git, all of it but the build trees.
mkdir -p "$root/src"
if git -C "$source_dir" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git -C "$source_dir" ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' file; do
      [ -e "$source_dir/$file" ] && printf '%s\0' "$file"
    done | tar -C "$source_dir" --null -T - -cf - | tar -C "$root/src" -xf -
else
  tar -C "$source_dir" --exclude='./build' --exclude='./build-*' --exclude='./.git' -cf - . |
    tar -C "$root/src" -xf -
fi

mount -t proc proc "$root/proc"
mount -t tmpfs -o mode=1777 shm "$root/dev/shm"
chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  bash /src/tests/hosts/in_chroot.sh /src /build
