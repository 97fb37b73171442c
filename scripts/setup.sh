#!/usr/bin/env bash
# Installs what building, testing and the demonstration need, from Debian's
# archive, when it is not there yet.  Safe to run again.
set -euo pipefail

packages=(
  build-essential cmake g++ pkg-config
  octave liboctave-dev                       # the host: octave-cli, mex.h, mkoctfile
  libgtest-dev libgmock-dev libbenchmark-dev # unit tests and kernel benchmarks
  python3 python3-mpmath                     # the high-precision reference table
  gnuplot-nox fonts-freefont-otf ghostscript # the demonstration's pictures
  clang libclang-rt-14-dev llvm              # fuzzers and sanitizers
  valgrind time                              # memory checks of the host session
  g++-aarch64-linux-gnu qemu-user            # the unit tests for Linux on aarch64
  g++-mingw-w64-x86-64-posix wine64          # the unit tests for Windows
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
