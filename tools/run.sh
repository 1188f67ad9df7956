#!/usr/bin/env bash
# Installs what is missing, builds, and runs the saver.
#   With an X display ($DISPLAY): the renderer full-screen under Wine on it;
#   any key, click or mouse move ends it.
#   Without one: the same under a private virtual display; screenshots and a
#   few offscreen-rendered frames are written to build/run/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SOLVANE_BUILD_DIR:-$root/build}
"$root/tools/bootstrap.sh"
"$root/tools/build.sh"

renderer=$build/windows/bin/Solvane.dll
out=$build/run
mkdir -p "$out"

if [[ -n ${DISPLAY:-} && ${1:-} != --headless ]]; then
  export WINEPREFIX=$out/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  [[ -f $WINEPREFIX/system.reg ]] || wineboot -i >"$out/wineboot.log" 2>&1
  exec wine "$renderer" >"$out/renderer.log" 2>&1
fi

"$build/native/tools/render_frames" --out "$out/frames" --frames 600 --every 120
exec /usr/bin/env python3 "$root/tools/show_saver.py" --build "$build" --out "$out"
