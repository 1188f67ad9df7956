#!/usr/bin/env bash
# Saver runs in a row with an MP3 playing, in a Wine environment of its own
# (built trees needed: tools/build.sh). Reports the worst time from the
# renderer's window going to the front end's exit; fails past 150 ms, on
# music left playing, or on a window or process left behind.
#
#   tools/soak.sh [ROUNDS]      (default 100)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SOLVANE_BUILD_DIR:-$root/build}
rounds=${1:-100}
folder=$build/soak
state=$folder/state.json
winenv=$root/tools/harness/winenv.py
python3 "$winenv" setup --state "$state" --prefix "$folder/prefix" \
  --probe "$build/windows/tests/e2e/probe/probe.exe"
trap 'python3 "$winenv" cleanup --state "$state"' EXIT
python3 "$root/tests/e2e/scenarios/frontend_soak.py" --state "$state" --windows-build "$build/windows" \
  --rounds "$rounds"
