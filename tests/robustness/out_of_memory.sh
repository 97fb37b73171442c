#!/usr/bin/env bash
# Runs out_of_memory_session.m under an address-space limit that the host's
# own arrays fit and the plug-ins' scratch does not.
#   out_of_memory.sh OCTAVE_CLI PLUGIN_DIR
set -euo pipefail
octave=$1
plugin_dir=$2
session="$(cd "$(dirname "$0")" && pwd)/out_of_memory_session.m"
run_session() {
  "$octave" --norc --no-gui --no-window-system --no-history --silent -p "$plugin_dir" "$session"
}

peak_kb=$(VORLAN_OOM_LIMITED=0 run_session | sed -n 's/^vmpeak_kb=//p')
if [ -z "$peak_kb" ]; then
  echo "could not measure the session's address space" >&2
  exit 1
fi
limit_kb=$((peak_kb + 1024 * 1024))
echo "session without scratch: VmPeak ${peak_kb} kB; limit ${limit_kb} kB"
(ulimit -v "$limit_kb" && VORLAN_OOM_LIMITED=1 run_session)
