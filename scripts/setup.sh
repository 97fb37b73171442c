#!/usr/bin/env bash
# Installs from Debian's archive what a task needs, when it is not there yet.
# Safe to run again.
#   scripts/setup.sh demo   building the plug-ins and the demonstration
#   scripts/setup.sh host   also the tests in the Octave host (unit tests,
#                           the plug-ins in Octave, memcheck, the cluster)
#   scripts/setup.sh test   also the rest of the suite (the default)
# Works on Debian 12, 13 and testing: where a package's name differs between
# releases, an entry "a|b" takes the first name the archive offers, and
# CLANG stands for the major version of the archive's clang.
set -euo pipefail

task=${1:-test}
demo_packages=(
  build-essential cmake g++ pkg-config
  octave octave-dev\|liboctave-dev           # the host: octave-cli, mex.h, mkoctfile
  gnuplot-nox fonts-freefont-otf ghostscript # the demonstration's pictures
  octave-optim                               # the demonstration's Voigt fit
)
host_packages=(
  libgtest-dev libgmock-dev                  # unit tests
  python3 python3-mpmath                     # the high-precision reference table
  valgrind                                   # memory checks of the host session
  octave-parallel                            # the plug-ins across worker processes
)
test_packages=(
  libbenchmark-dev                           # kernel benchmarks
  clang libclang-rt-CLANG-dev llvm           # fuzzers and sanitizers
  time                                       # the large array's peak memory
  g++-aarch64-linux-gnu qemu-user            # the unit tests for Linux on aarch64
  g++-mingw-w64-x86-64-posix wine64          # the unit tests for Windows
  debootstrap                                # the suites in newer Debian releases
)
case "$task" in
  demo) packages=("${demo_packages[@]}") ;;
  host) packages=("${demo_packages[@]}" "${host_packages[@]}") ;;
  test) packages=("${demo_packages[@]}" "${host_packages[@]}" "${test_packages[@]}") ;;
  *)
    echo "usage: $0 [demo|host|test]" >&2
    exit 2
    ;;
esac

# (Output taken whole before matching: grep -q would end the pipe early.)
installed() {
  [[ $(dpkg-query -W -f='${Status}' "$1" 2>/dev/null) == *'install ok installed'* ]]
}
offered() {
  [[ $(apt-cache policy "$1" 2>/dev/null) =~ Candidate:\ [^\(] ]]
}
# The major version of clang: the installed one's, else the archive's.
clang_major() {
  local depends
  if installed clang; then
    depends=$(dpkg-query -W -f='${Depends}' clang)
  else
    depends=$(apt-cache depends clang 2>/dev/null | grep 'Depends:' || true)
  fi
  local majors
  majors=$(sed -n 's/.*\bclang-\([0-9][0-9]*\)\b.*/\1/p' <<<"$depends")
  echo "${majors%%$'\n'*}"
}
# The names an entry may take, CLANG replaced (empty when it is unknown).
alternatives() {
  local entry=$1
  if [[ $entry == *CLANG* ]]; then
    local major
    major=$(clang_major)
    [ -n "$major" ] || return 0
    entry=${entry//CLANG/$major}
  fi
  tr '|' '\n' <<<"$entry"
}

missing=()
for entry in "${packages[@]}"; do
  found=0
  for name in $(alternatives "$entry"); do
    if installed "$name"; then
      found=1
      break
    fi
  done
  [ "$found" -eq 1 ] || missing+=("$entry")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
$SUDO apt-get update -q
chosen=()
for entry in "${missing[@]}"; do
  choice=""
  for name in $(alternatives "$entry"); do
    if offered "$name"; then
      choice=$name
      break
    fi
  done
  if [ -z "$choice" ]; then
    echo "setup.sh: the package archive offers none of: $entry" >&2
    exit 1
  fi
  chosen+=("$choice")
done
echo "Installing: ${chosen[*]}"
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${chosen[@]}"
