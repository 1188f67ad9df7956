#!/usr/bin/env bash
# Configures and builds the sanitizer tree (the "sanitize" preset): clang
# with AddressSanitizer and UBSan, holding the fuzzers and the portable unit
# tests that the plain native tree runs from it.
#
#   tools/build_sanitized.sh [TREE]      (default build/sanitize)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tree=${1:-${SOLVANE_BUILD_DIR:-$root/build}/sanitize}
werror=${SOLVANE_WERROR:-OFF}
[[ ${CI:-} == true ]] && werror=ON
mkdir -p "$tree"
cmake --preset sanitize -S "$root" -B "$tree" -DSOLVANE_WERROR="$werror" \
  >"$tree-configure.log" 2>&1 || { cat "$tree-configure.log"; exit 1; }
cmake --build "$tree" -j "$(nproc)" --target sanitized
