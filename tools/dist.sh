#!/usr/bin/env bash
# Builds the release packages from a clean tree: the zip and the installer of
# the 64-bit and the 32-bit programs (the "dist" target of build/windows and
# build/windows32) and the Debian package of the native program (the "package"
# target of build/native), in build/dist.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/bootstrap.sh"
"$root/tools/build.sh"
ls -l "${SOLVANE_BUILD_DIR:-$root/build}/dist"
