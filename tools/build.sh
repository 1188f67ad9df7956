#!/usr/bin/env bash
# Configures and builds the four trees described in CMakePresets.json:
# build/windows (MinGW-w64 cross build of the x86-64 Windows programs and
# Windows tests), build/windows32 (the 32-bit programs only), build/sanitize
# (the portable unit tests and fuzzers under AddressSanitizer and UBSan, run
# by the native tree) and build/native (portable core, native program,
# native tests, benchmarks, tools, and the registration of the Wine tiers),
# and the release packages of all three in build/dist.
# SOLVANE_BUILD_DIR puts the trees elsewhere; with --windows-only the native
# trees and the Debian package are left out.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SOLVANE_BUILD_DIR:-$root/build}
type=${SOLVANE_BUILD_TYPE:-Release}
werror=${SOLVANE_WERROR:-OFF}
[[ ${CI:-} == true ]] && werror=ON
jobs=$(nproc)
mkdir -p "$build"

configure() { # PRESET [CMAKE_ARGS...]
  local preset=$1
  shift
  cmake --preset "$preset" -S "$root" -B "$build/$preset" -DSOLVANE_WERROR="$werror" -DSOLVANE_DIST_DIR="$build/dist" \
    "$@" >"$build/$preset-configure.log" 2>&1 || { cat "$build/$preset-configure.log"; exit 1; }
}

configure windows -DCMAKE_BUILD_TYPE="$type"
cmake --build "$build/windows" -j "$jobs"
cmake --build "$build/windows" -j "$jobs" --target dist

configure windows32 -DCMAKE_BUILD_TYPE="$type"
cmake --build "$build/windows32" -j "$jobs" --target dist

[[ ${1:-} == --windows-only ]] && exit 0

SOLVANE_WERROR=$werror "$root/tools/build_sanitized.sh" "$build/sanitize"

configure native -DCMAKE_BUILD_TYPE="$type" -DSOLVANE_WINDOWS_BUILD_DIR="$build/windows" \
  -DSOLVANE_SANITIZE_BUILD_DIR="$build/sanitize"
cmake --build "$build/native" -j "$jobs"
cmake --build "$build/native" --target package >"$build/native-package.log" 2>&1 ||
  { cat "$build/native-package.log"; exit 1; }
