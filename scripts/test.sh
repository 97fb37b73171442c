#!/usr/bin/env bash
# Builds everything and runs the whole test suite in one ctest run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVORLAN_BUILD_TESTS=ON -DVORLAN_BUILD_BENCHMARKS=ON
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 1800
