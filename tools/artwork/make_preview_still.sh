#!/usr/bin/env bash
# Renders the saver's own scene offscreen and makes the preview still from it:
# 152 x 112 pixels, a baseline JFIF 1.01 JPEG, 8 bits, three components, 1:1.
# The scene runs for a few seconds first so that its trails show; it is drawn
# at ten times the still's size and scaled down, as a screen of that shape
# would look.
#   tools/artwork/make_preview_still.sh [BUILD_DIR] [SEED]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
seed=${2:-256} # glowing yellow-to-orange bands on black
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/native/tools/render_frames" --width 1520 --height 1120 --frames 240 --every 240 \
  --step-ms 16 --seed "$seed" --out "$work" >/dev/null
convert "$work/frame-0240.png" -filter Lanczos -resize 152x112! -strip \
  -interlace none -sampling-factor 2x2,1x1,1x1 -quality 90 -density 1x1 -units undefined \
  "JPEG:$root/resources/preview/preview.jpg"
identify -verbose "$root/resources/preview/preview.jpg" | grep -E "Geometry|Interlace|Quality|Colorspace" || true
echo "$root/resources/preview/preview.jpg"
