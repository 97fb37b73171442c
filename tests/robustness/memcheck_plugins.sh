#!/usr/bin/env bash
# Runs a host session under valgrind's memcheck and judges the report.
#   memcheck_plugins.sh SESSION.m PLUGIN_DIR WORK_DIR [--expect-faults]
# Environment: VALGRIND, OCTAVE_CLI, PYTHON (defaults from PATH and /usr/bin);
# MEMCHECK_PRELOAD, a library preloaded into the session (valgrind_timer_stub.cpp).
set -euo pipefail
session=$1
plugin_dir=$2
work_dir=$3
judge_mode=${4:-}
here=$(cd "$(dirname "$0")" && pwd)
valgrind=${VALGRIND:-valgrind}
octave=${OCTAVE_CLI:-octave-cli}
python=${PYTHON:-/usr/bin/python3}

mkdir -p "$work_dir"
report="$work_dir/$(basename "$session" .m).memcheck.xml"
rm -f "$report"

# Suppressions: octave.supp for every Octave, and octave-from-N.supp for
# Octave N and later.
major=$("$octave" --version | sed -n '1s/.* version \([0-9][0-9]*\)\..*/\1/p')
suppressions=(--suppressions="$here/octave.supp")
for file in "$here"/octave-from-*.supp; do
  from=${file##*/octave-from-}
  from=${from%.supp}
  if [ -n "$major" ] && [ "$major" -ge "$from" ]; then
    suppressions+=(--suppressions="$file")
  fi
done

# --keep-debuginfo keeps the plug-ins' symbols after Octave unloads them at
# exit, so that leak stacks still name the .mex files.  --track-origins points
# an uninitialised value back to the allocation it came from.
status=0
LD_PRELOAD="${MEMCHECK_PRELOAD:-}" "$valgrind" --tool=memcheck --leak-check=full --show-leak-kinds=definite,possible \
  --keep-debuginfo=yes --track-origins=yes --num-callers=40 \
  "${suppressions[@]}" --xml=yes --xml-file="$report" \
  "$octave" --norc --no-gui --no-window-system --no-history --silent \
  -p "$plugin_dir" "$session" || status=$?

if [ "$status" -ne 0 ]; then
  echo "the session under memcheck ended with status $status"
fi
"$python" "$here/memcheck_judge.py" "$report" $judge_mode || status=1
exit "$status"
