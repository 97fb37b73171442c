#!/usr/bin/env bash
# Times the plug-ins in one octave-cli session: against the floor plug-in and
# the host's own w(z), small arrays to large, warm and cold, and the plug-ins
# of every install route against the CMake build's (bench/benchmark_plugins.m).
#
#   bench/run_plugin_benchmark.sh [--no-routes] [--keep-pages] [build directory] [element count]
#
# The build directory (default: build) must be configured with CMake; the
# plug-ins and the floor plug-in are brought up to date in it first.  The
# element count of the large arrays defaults to 1000000.  Unless --no-routes
# is given, the release tarball is installed with pkg into a throw-away
# prefix and matlab/build_vorlan.m builds into a temporary folder before the
# timed session (both compile everything: a few minutes).  --keep-pages runs
# the timed session with the C library's allocator keeping the pages of freed
# arrays for the next call (MALLOC_TRIM_THRESHOLD_ and MALLOC_MMAP_THRESHOLD_
# at 1 GiB), as on a machine whose allocator keeps them: large calls then pay
# no first-touch page faults for their results.
set -euo pipefail
cd "$(dirname "$0")/.."

routes=1
keep_pages=()
positional=()
for arg in "$@"; do
  case "$arg" in
    --no-routes) routes=0 ;;
    --keep-pages) keep_pages=(MALLOC_TRIM_THRESHOLD_=1073741824 MALLOC_MMAP_THRESHOLD_=1073741824) ;;
    -h | --help) sed -n '2,17p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "run_plugin_benchmark.sh: unknown option $arg (see --help)" >&2; exit 2 ;;
    *) positional+=("$arg") ;;
  esac
done
build_dir="${positional[0]:-build}"
if [ ${#positional[@]} -ge 2 ]; then
  export VORLAN_BENCH_COUNT="${positional[1]}"
fi
if [ ! -f "$build_dir/CMakeCache.txt" ]; then
  echo "run_plugin_benchmark.sh: configure $build_dir first:" \
       "cmake -S . -B $build_dir -DCMAKE_BUILD_TYPE=Release" >&2
  exit 2
fi

targets=(vorlan_plugins floor_plugin)
# The plug-ins and the floor on the host's other complex array API, where built.
other_dir="$(sed -n 's/^VORLAN_OTHER_API_PLUGIN_DIR:INTERNAL=//p' "$build_dir/CMakeCache.txt")"
if [ -n "$other_dir" ]; then
  other_api="${other_dir##*mex-}"
  for plugin in $(grep -v '^#' plugins/plugins.list); do
    targets+=("${plugin}_$other_api")
  done
  targets+=("floor_plugin_$other_api")
  export VORLAN_OTHER_API_DIR="$other_dir"
fi
if [ $routes -eq 1 ]; then
  targets+=(octave_package)
fi
cmake --build "$build_dir" -j2 --target "${targets[@]}" >/dev/null
build_dir="$(cd "$build_dir" && pwd)"
export VORLAN_PLUGIN_DIR="$build_dir/mex"
export VORLAN_FLOOR_DIR="$build_dir/bench/floor"
octave=(octave-cli --norc --no-history --quiet --no-window-system)

if [ $routes -eq 1 ]; then
  scratch="$(mktemp -d "${TMPDIR:-/tmp}/vorlan-bench.XXXXXX")"
  trap 'rm -rf "$scratch"' EXIT
  export VORLAN_ROUTE_PKG="$scratch/pkg"
  export VORLAN_ROUTE_MATLAB="$scratch/matlab_build"
  version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")"
  tarball="$build_dir/vorlan-$version.tar.gz"
  echo "Building the install routes (logs in $scratch): pkg install of $(basename "$tarball")," \
       "matlab/build_vorlan.m"
  # The two builds compile one file at a time each: run side by side, two cores.
  started=$SECONDS
  VORLAN_TARBALL="$tarball" "${octave[@]}" --eval "
    addpath('$PWD/bench');
    benchmark_pkg_scratch(getenv('VORLAN_ROUTE_PKG'));
    pkg('install', '-local', getenv('VORLAN_TARBALL'));" >"$scratch/pkg.log" 2>&1 &
  pkg_job=$!
  "${octave[@]}" --eval "
    addpath('$PWD/matlab');
    build_vorlan(getenv('VORLAN_ROUTE_MATLAB'));" >"$scratch/matlab.log" 2>&1 &
  matlab_job=$!
  failed=0
  wait $pkg_job || { echo "pkg install failed:" >&2; cat "$scratch/pkg.log" >&2; failed=1; }
  wait $matlab_job || { echo "build_vorlan failed:" >&2; cat "$scratch/matlab.log" >&2; failed=1; }
  [ $failed -eq 0 ] || exit 1
  echo "Built in $((SECONDS - started)) s"
  echo
fi

env "${keep_pages[@]}" "${octave[@]}" --eval "addpath('$PWD/bench'); source('$PWD/bench/benchmark_plugins.m');"
