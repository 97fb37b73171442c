#!/usr/bin/env bash
# Runs large_array_session.m (10^8 complex elements through vorlanRegion)
# under /usr/bin/time -v and compares its peak resident memory with what the
# call must hold at once, per element:
#   16 bytes  the host's complex array (interleaved real and imaginary parts)
#   16 bytes  the host's copy of it as separate real and imaginary arrays,
#             made when a plug-in on the separate complex API asks for the
#             parts (none on the interleaved API: the estimate is then high)
#   32 bytes  the plug-in's scratch: xr, xi, ur, ui
#   16 bytes  the result array the plug-in creates
# = 80 bytes per element, plus the interpreter itself.  Fails if the session
# fails or its peak exceeds the estimate by more than 512 MiB.
#   large_array.sh TIME OCTAVE_CLI PLUGIN_DIR
set -euo pipefail
time_cmd=$1
octave=$2
plugin_dir=$3
session="$(cd "$(dirname "$0")" && pwd)/large_array_session.m"
log=$(mktemp)
trap 'rm -f "$log"' EXIT

"$time_cmd" -v -o "$log" "$octave" --norc --no-gui --no-window-system --no-history --silent \
  -p "$plugin_dir" "$session" | tee "$log.out"
elements=$(sed -n 's/^elements=//p' "$log.out")
rm -f "$log.out"
peak_kb=$(sed -n 's/.*Maximum resident set size (kbytes): *//p' "$log")
wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): *//p' "$log")
if [ -z "$elements" ] || [ -z "$peak_kb" ]; then
  echo "no element count or peak memory measured" >&2
  cat "$log" >&2
  exit 1
fi
expected_kb=$((elements * 80 / 1024))
host_kb=$((elements * 48 / 1024))
scratch_kb=$((elements * 32 / 1024))
allowance_kb=$((512 * 1024))
echo "elements:          $elements"
echo "host arrays:       $host_kb kB (input 16 B + its split copy 16 B + result 16 B per element)"
echo "scratch:           $scratch_kb kB (32 B per element)"
echo "estimate:          $expected_kb kB"
echo "peak RSS measured: $peak_kb kB ($((peak_kb * 100 / expected_kb))% of the estimate)"
echo "wall time:         $wall (for information)"
if [ "$peak_kb" -gt $((expected_kb + allowance_kb)) ]; then
  echo "peak memory exceeds the estimate by more than $allowance_kb kB" >&2
  exit 1
fi
