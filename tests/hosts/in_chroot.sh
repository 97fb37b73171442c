#!/usr/bin/env bash
# Inside a fresh Debian chroot: the project's own set-up, a build, and every
# test that runs in the Octave host or needs no other platform:
#   in_chroot.sh SOURCE_DIR BUILD_DIR
# That is all tests but those labelled platforms, robustness, hosts (this one),
# bench and cluster (network namespaces between test hosts), plus the memory
# checks of the host (robustness tests named memcheck), so that new tests of
# those kinds run here without a change.
set -euo pipefail
source_dir=$1
build_dir=$2
excluded_labels='^(platforms|robustness|hosts|bench|cluster)$'

step_started=$SECONDS
step() {
  echo "-- $1: $((SECONDS - step_started)) s"
  step_started=$SECONDS
}
# Runs a command with its output in LOG; shows the log's tail if it fails.
logged() {
  local log=$1
  shift
  if ! "$@" >"$log" 2>&1; then
    tail -n 300 "$log"
    echo "failed: $*"
    return 1
  fi
}

cd "$source_dir"
logged /setup.log scripts/setup.sh host || exit 1
# apt's figures for the download.
grep -E '^(Installing|Need to get|After this operation)' /setup.log || true
step "scripts/setup.sh host"
echo "GNU Octave $(octave-cli --version | sed -n '1s/.* version //p'), $(g++ --version | head -n 1)"

export CMAKE_BUILD_PARALLEL_LEVEL=2
logged /configure.log cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Release \
  -DVORLAN_BUILD_BENCHMARKS=OFF -DVORLAN_PLATFORM_TESTS=OFF -DVORLAN_HOST_TESTS=OFF || exit 1
logged /build.log cmake --build "$build_dir" || exit 1
# The build has to stay clean on each compiler: its warnings are shown.
grep -i -A3 'warning' /build.log || true
step "build"

status=0
logged /ctest.log ctest --test-dir "$build_dir" -j2 --output-on-failure --timeout 900 \
  -LE "$excluded_labels" || status=1
sed -n '/tests passed/,$p' /ctest.log
# The memory checks on the complex array API the plug-ins are built on here
# (the other API's are run on the main machine), and the judge's own check.
logged /memcheck.log ctest --test-dir "$build_dir" --output-on-failure --timeout 900 \
  -L '^robustness$' -R 'memcheck' -E '_separate$|_interleaved$' || status=1
sed -n '/tests passed/,$p' /memcheck.log
step "tests"
exit "$status"
