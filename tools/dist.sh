#!/usr/bin/env bash
# Builds the release packages from a clean tree: the zip and the installer of
# the 64-bit and the 32-bit programs, in build/dist (the "dist" target of
# build/windows and build/windows32).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/bootstrap.sh"
"$root/tools/build.sh" --windows-only
ls -l "${SOLVANE_BUILD_DIR:-$root/build}/dist"
