#!/usr/bin/env bash
# Configures and builds both trees: build/windows (MinGW-w64 cross build of the
# Windows programs and Windows tests) and build/native (portable core, native
# tests, benchmarks, tools, and the registration of the Wine tiers).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SOLVANE_BUILD_DIR:-$root/build}
type=${SOLVANE_BUILD_TYPE:-Release}
werror=${SOLVANE_WERROR:-OFF}
[[ ${CI:-} == true ]] && werror=ON
jobs=$(nproc)
mkdir -p "$build"

cmake -S "$root" -B "$build/windows" -DCMAKE_BUILD_TYPE="$type" -DSOLVANE_WERROR="$werror" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >"$build/windows-configure.log" 2>&1 \
  || { cat "$build/windows-configure.log"; exit 1; }
cmake --build "$build/windows" -j "$jobs"

cmake -S "$root" -B "$build/native" -DCMAKE_BUILD_TYPE="$type" -DSOLVANE_WERROR="$werror" \
  -DSOLVANE_WINDOWS_BUILD_DIR="$build/windows" >"$build/native-configure.log" 2>&1 \
  || { cat "$build/native-configure.log"; exit 1; }
cmake --build "$build/native" -j "$jobs"
