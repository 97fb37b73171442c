#!/usr/bin/env bash
# Times the plug-ins against the host's own w(z) in one octave-cli session.
#   bench/run_plugin_benchmark.sh [build directory, default: build] [element count]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${1:-build}"
export VORLAN_PLUGIN_DIR="$(cd "$build_dir/mex" && pwd)"
if [ $# -ge 2 ]; then
  export VORLAN_BENCH_COUNT="$2"
fi
exec octave-cli --no-gui --norc bench/benchmark_plugins.m
