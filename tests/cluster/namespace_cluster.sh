#!/usr/bin/env bash
# A cluster of test hosts on this machine: each host is a network namespace
# with a server of Octave's parallel package, and the client runs in one more
# namespace that bridges them.  The addresses (10.77.0.0/24) exist only
# between these namespaces; nothing here can reach or be reached from any
# other network.
#
#   namespace_cluster.sh OCTAVE_CLI PATH_DIRS THREADS_PER_HOST CLIENT_COMMANDS
#
# PATH_DIRS      folders (colon-separated) put on every session's path: the
#                plug-ins and the functions the client sends
# THREADS_PER_HOST  VORLAN_NUM_THREADS of each host's server, comma-separated,
#                one host per entry; "-" leaves the variable unset there
# CLIENT_COMMANDS   Octave commands run by the client, which finds the hosts'
#                names in the cell array `hosts`; its exit code is the
#                script's
#
# Needs root (ip netns); the servers and the client run as nobody, since the
# package's server refuses to run as root.  Every step has a time limit, and
# the namespaces and their processes are removed on any exit.
set -euo pipefail

if [[ $# -ne 4 ]]; then
  echo "usage: $0 OCTAVE_CLI PATH_DIRS THREADS_PER_HOST CLIENT_COMMANDS" >&2
  exit 2
fi
octave_cli=$1
path_dirs=$2
IFS=, read -r -a host_threads <<<"$3"
client_commands=$4

if [[ $(id -u) -ne 0 ]]; then
  echo "namespace_cluster: needs root for ip netns; not run" >&2
  exit 77
fi

readonly subnet=10.77.0
readonly unprivileged=(setpriv --reuid=65534 --regid=65534 --clear-groups)
readonly tag="vorlan$$-"
readonly client_ns="${tag}client"
host_namespaces=()

remove_namespace() {
  local ns=$1 pids
  ip netns list | grep -qw "$ns" || return 0
  # Only the processes this script started live in its namespaces.
  mapfile -t pids < <(ip netns pids "$ns" || true)
  if [[ ${#pids[@]} -gt 0 ]]; then
    kill -TERM "${pids[@]}" 2>/dev/null || true
    for _ in $(seq 1 20); do
      mapfile -t pids < <(ip netns pids "$ns" || true)
      [[ ${#pids[@]} -eq 0 ]] && break
      sleep 0.25
    done
    if [[ ${#pids[@]} -gt 0 ]]; then
      kill -KILL "${pids[@]}" 2>/dev/null || true
    fi
  fi
  ip netns del "$ns" || true
}

# Namespaces left by a run of this script that was killed outright (a test
# time-out): their tag holds the pid of a run that has ended.
remove_stale_runs() {
  local ns run
  for ns in $(ip netns list | sed -n 's/^\(vorlan[0-9]\{1,\}-[a-z0-9]*\)\( .*\)\{0,1\}$/\1/p'); do
    run=${ns#vorlan}
    run=${run%%-*}
    [[ -d /proc/$run ]] || remove_namespace "$ns"
  done
}

tear_down() {
  local ns
  for ns in "${host_namespaces[@]}" "$client_ns"; do
    remove_namespace "$ns"
  done
  rm -rf "$work_dir"
}
remove_stale_runs
# Outside /tmp, which each host replaces with its own.
work_dir=$(mktemp -d /var/tmp/vorlan-cluster.XXXXXX)
trap tear_down EXIT
trap 'exit 130' INT TERM

# The package's server looks its peers up by address (getnameinfo) and the
# machines connect to each other by name, so every namespace sees one hosts
# file with all of them.
chmod 755 "$work_dir"
hosts_file="$work_dir/hosts"
host_name() { echo "${tag}host$1"; }
host_address() { echo "$subnet.$((10 + $1))"; }
printf '127.0.0.1 localhost\n%s.1 %s\n' "$subnet" "$client_ns" >"$hosts_file"
for number in $(seq 1 "${#host_threads[@]}"); do
  echo "$(host_address "$number") $(host_name "$number")" >>"$hosts_file"
done
chmod 644 "$hosts_file"

# Runs a command for at most $2 seconds in namespace $1 as host $1: its own
# host name, the hosts file above and a /tmp of its own (the server keeps its
# pid file in /tmp/.octave-<hostname>.pid, so hosts sharing either would
# collide).
as_host() {
  local ns=$1 seconds=$2
  shift 2
  # shellcheck disable=SC2016 # the inner shell expands its own arguments
  timeout "$seconds" ip netns exec "$ns" unshare --uts --mount sh -c '
      hostname "$1" && mount --bind "$2" /etc/hosts &&
      mount -t tmpfs -o mode=1777 tmpfs /tmp && shift 2 && exec "$@"' \
    sh "$ns" "$hosts_file" "$@"
}

# The client's namespace holds the bridge that joins the hosts.
ip netns add "$client_ns"
ip -n "$client_ns" link set lo up
ip -n "$client_ns" link add lan type bridge
ip -n "$client_ns" addr add "$subnet.1/24" dev lan
ip -n "$client_ns" link set lan up

octave_session=("$octave_cli" --norc --no-history --quiet --no-window-system)

# The server program that `pserver` starts.  It is called directly: Debian's
# build of the package has no TLS, and its `pserver (struct ("use_tls",
# false))` rejects the options structure (its argument check takes only
# "kill"), so `--no-auth` is reachable only this way.  Without TLS anyone who
# reaches the ports may run commands, which here is only the client's
# namespace.
octave_binary=$(readlink -f "$(command -v "$octave_cli")")
server_binary=$("${octave_session[@]}" --eval \
  'pkg load parallel; printf ("%s", fullfile (fileparts (which ("pserver")), "bin", "octave-pserver"))')
[[ -x $server_binary ]] || server_binary=/usr/libexec/octave-pserver
# The sessions run as nobody, who may not read the caller's tree (a clone in
# /root, say): they get copies of the path's folders.
session_path=()
IFS=: read -r -a source_dirs <<<"$path_dirs"
for index in "${!source_dirs[@]}"; do
  cp -r "${source_dirs[$index]}" "$work_dir/path$index"
  session_path+=("$work_dir/path$index")
done
chmod -R a+rX "$work_dir"
session_env=(env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/tmp
  OCTAVE_PATH="$(IFS=:; echo "${session_path[*]}")")

for index in "${!host_threads[@]}"; do
  number=$((index + 1))
  ns=$(host_name "$number")
  ip netns add "$ns"
  host_namespaces+=("$ns")
  ip -n "$ns" link set lo up
  ip link add eth0 netns "$ns" type veth peer name "host$number" netns "$client_ns"
  ip -n "$client_ns" link set "host$number" master lan up
  ip -n "$ns" addr add "$(host_address "$number")/24" dev eth0
  ip -n "$ns" link set eth0 up

  threads=()
  [[ ${host_threads[$index]} != "-" ]] && threads=(VORLAN_NUM_THREADS="${host_threads[$index]}")
  # The server forks itself off; the namespace keeps it until tear-down.
  as_host "$ns" 60 "${unprivileged[@]}" "${session_env[@]}" "${threads[@]}" \
    "$server_binary" --octave-binary="$octave_binary" --no-auth >/dev/null
done

# Each server listens on the package's command port (12502) once it is up.
for ns in "${host_namespaces[@]}"; do
  for attempt in $(seq 1 60); do
    ip netns exec "$ns" ss -Hltn 'sport = :12502' | grep -q . && break
    if [[ $attempt -eq 60 ]]; then
      echo "namespace_cluster: the server in $ns did not start" >&2
      exit 1
    fi
    sleep 0.5
  done
done

hosts=$(printf "'%s', " "${host_namespaces[@]}")
cd /
# In the background, so that a signal to this script tears down at once.
as_host "$client_ns" 300 "${unprivileged[@]}" "${session_env[@]}" \
  "${octave_session[@]}" --eval "hosts = {${hosts%, }}; $client_commands" &
wait $!
