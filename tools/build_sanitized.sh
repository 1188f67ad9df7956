#!/usr/bin/env bash
# Configures and builds the sanitizer tree: clang with AddressSanitizer and
# UBSan, holding the fuzzers and the portable unit tests that the plain
# native tree runs from it.
#
#   tools/build_sanitized.sh [TREE]      (default build/sanitize)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tree=${1:-${SOLVANE_BUILD_DIR:-$root/build}/sanitize}
werror=${SOLVANE_WERROR:-OFF}
[[ ${CI:-} == true ]] && werror=ON
mkdir -p "$tree"
cmake -S "$root" -B "$tree" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSOLVANE_WERROR="$werror" \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DSOLVANE_SANITIZE=ON \
  >"$tree-configure.log" 2>&1 || { cat "$tree-configure.log"; exit 1; }
cmake --build "$tree" -j "$(nproc)" --target sanitized
