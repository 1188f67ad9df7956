#!/usr/bin/env bash
# Configures and builds the trees: build/windows (MinGW-w64 cross build of the
# x86-64 Windows programs and Windows tests), build/windows32 (the 32-bit
# programs only), build/sanitize (the portable unit tests and fuzzers under
# AddressSanitizer and UBSan, run by the native tree), build/native (portable
# core, native program, native tests, benchmarks, tools, and the registration
# of the Wine tiers), and the release packages of all three in build/dist.
# With --windows-only the native trees and the Debian package are left out.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SOLVANE_BUILD_DIR:-$root/build}
type=${SOLVANE_BUILD_TYPE:-Release}
werror=${SOLVANE_WERROR:-OFF}
[[ ${CI:-} == true ]] && werror=ON
jobs=$(nproc)
dist=$build/dist
mkdir -p "$build"

configure() { # TREE CMAKE_ARGS...
  local tree=$1
  shift
  cmake -S "$root" -B "$build/$tree" -DCMAKE_BUILD_TYPE="$type" -DSOLVANE_WERROR="$werror" "$@" \
    >"$build/$tree-configure.log" 2>&1 || { cat "$build/$tree-configure.log"; exit 1; }
}

configure windows -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DSOLVANE_DIST_DIR="$dist"
cmake --build "$build/windows" -j "$jobs"
cmake --build "$build/windows" -j "$jobs" --target dist

configure windows32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-i686.cmake" -DSOLVANE_PROGRAMS_ONLY=ON \
  -DSOLVANE_DIST_DIR="$dist"
cmake --build "$build/windows32" -j "$jobs" --target dist

[[ ${1:-} == --windows-only ]] && exit 0

SOLVANE_WERROR=$werror "$root/tools/build_sanitized.sh" "$build/sanitize"

configure native -DSOLVANE_WINDOWS_BUILD_DIR="$build/windows" -DSOLVANE_DIST_DIR="$dist" \
  -DSOLVANE_SANITIZE_BUILD_DIR="$build/sanitize"
cmake --build "$build/native" -j "$jobs"
cmake --build "$build/native" --target package >"$build/native-package.log" 2>&1 ||
  { cat "$build/native-package.log"; exit 1; }
