#!/usr/bin/env bash
# Installs every Debian package the build, the run and the tests need.
# Idempotent: packages already present are not fetched again.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  googletest libgtest-dev libbenchmark-dev libutfcpp-dev
  libgl-dev libgl1-mesa-dri libglu1-mesa-dev libosmesa6-dev libpng-dev libx11-dev libxrandr-dev libxinerama-dev
  wine wine64
  xvfb x11-utils x11-xserver-utils xdotool imagemagick
  xserver-xorg-core xserver-xorg-video-dummy
  pulseaudio pulseaudio-utils sox libsox-fmt-mp3
  fonts-ipafont-gothic locales
  python3 valgrind
  nsis
  dpkg-dev lintian desktop-file-utils
)
# The screen-saver daemon, only to host our own program in its test: without
# recommends, so that no other saver package comes in with it.
daemon_packages=(xscreensaver)

missing_of() { # PACKAGES...
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}
mapfile -t missing < <(missing_of "${packages[@]}")
mapfile -t missing_daemon < <(missing_of "${daemon_packages[@]}")

if ((${#missing[@]} + ${#missing_daemon[@]})); then
  echo "bootstrap: installing ${missing[*]} ${missing_daemon[*]}"
  export DEBIAN_FRONTEND=noninteractive
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq >/dev/null
  ((${#missing[@]} == 0)) || "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
  ((${#missing_daemon[@]} == 0)) ||
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing_daemon[@]}" >/dev/null
fi

# Wine takes its ANSI code page from the locale: ja_JP.UTF-8 gives the code
# page 932 tests theirs, hi_IN.UTF-8 (no ANSI code page on Windows) gives 65001.
for wanted in ja_JP hi_IN; do
  locale -a 2>/dev/null | grep -qi "^$wanted\.utf8$" && continue
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" sed -i "s/^# *\($wanted.UTF-8 UTF-8\)/\1/" /etc/locale.gen
  grep -q "^$wanted.UTF-8 UTF-8" /etc/locale.gen || echo "$wanted.UTF-8 UTF-8" | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo_cmd[@]}" locale-gen >/dev/null
done
