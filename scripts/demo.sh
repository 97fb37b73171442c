#!/usr/bin/env bash
# Builds the plug-ins and runs the demonstration headless in GNU Octave: a
# table of w(z) beside Octave's erfcx(-1i*z), the worst error of each plug-in
# per region, and two pictures in build/demo/ (Voigt profiles, accuracy map),
# then the two fits (Voigt lines, one line's Hartmann-Tran profile over four
# pressures) with a picture each.
# VORLAN_BUILD_DIR names another build tree than build.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${VORLAN_BUILD_DIR:-build}"
scripts/setup.sh demo
# Without the tests and benchmarks, whose tools the demonstration's set-up
# does not install (scripts/test.sh turns them on again).
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVORLAN_BUILD_TESTS=OFF \
  -DVORLAN_BUILD_BENCHMARKS=OFF
cmake --build "$build" -j"$(nproc)" --target vorlan_plugins
plugin_dir="$(sed -n 's/^VORLAN_PLUGIN_DIR:[A-Z]*=//p' "$build/CMakeCache.txt")"
# --no-history: on an account that has never run Octave (no
# ~/.local/share/octave), Octave 7 would otherwise end with an error line
# while saving the history on exit.
octave-cli --norc --no-history --quiet --eval \
  "addpath('demo'); vorlan_demo('${plugin_dir:-$build/mex}', '$build/demo');
   printf('\\n'); fit_voigt_lines('${plugin_dir:-$build/mex}', '$build/demo');
   printf('\\n'); fit_htp_multispectrum('${plugin_dir:-$build/mex}', '$build/demo');"
