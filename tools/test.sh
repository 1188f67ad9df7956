#!/usr/bin/env bash
# Installs what is missing, builds both trees and runs every test tier.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/bootstrap.sh"
"$root/tools/build.sh"
cd "${SOLVANE_BUILD_DIR:-$root/build}/native"
ctest --output-on-failure -j "$(nproc)" --timeout 300 "$@"
