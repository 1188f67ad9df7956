#!/usr/bin/env bash
# Installs what is missing, builds, and starts a real saver run: Solvane.scr /s
# with Solvane.dll beside it, as the screen-saver host would.
#   With an X display ($DISPLAY): full-screen under Wine on it; any key, click
#   or mouse move ends it. Solvane.ini in build/run/Solvane/ chooses the music.
#   Without one: the same for a few seconds on a private virtual display; the
#   screenshots it saves are printed.
#   --linux: the native Linux program instead, full-screen on $DISPLAY.
#   --install-linux [PREFIX]: install the native program, its man page,
#   desktop entry and xscreensaver description (default PREFIX /usr/local).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SOLVANE_BUILD_DIR:-$root/build}
"$root/tools/bootstrap.sh"
"$root/tools/build.sh"

case ${1:-} in
  --linux) exec "$build/native/renderer/solvane" ;;
  --install-linux) exec cmake --install "$build/native" --prefix "${2:-/usr/local}" ;;
esac

out=$build/run
install=$out/Solvane
mkdir -p "$install"
cp "$build/windows/bin/Solvane.scr" "$build/windows/bin/Solvane.dll" "$install/"

if [[ -n ${DISPLAY:-} && ${1:-} != --headless ]]; then
  export WINEPREFIX=$out/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  [[ -f $WINEPREFIX/system.reg ]] || wineboot -i >"$out/wineboot.log" 2>&1
  exec wine "$install/Solvane.scr" /s >"$out/saver.log" 2>&1
fi

exec /usr/bin/env python3 "$root/tools/show_saver.py" --build "$build" --install "$install" --out "$out"
