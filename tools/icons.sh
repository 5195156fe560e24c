#!/usr/bin/env bash
# icons.sh: renders ui/resources/taliard.mvg into the hicolor icon sizes under
# ui/resources/hicolor/ and the window's XPM icons (ImageMagick). The results
# are committed; run this only after changing the drawing.
set -euo pipefail
cd "$(dirname "$0")/.."
for size in 16 22 24 32 48 64 128 256; do
  out="ui/resources/hicolor/${size}x${size}/apps/taliard.png"
  mkdir -p "$(dirname "$out")"
  scale=$(awk -v s="$size" 'BEGIN { printf "%.6f", s / 48 }')
  # The drawing, scaled; ImageMagick puts pixel centres on whole numbers.
  # -strip keeps the files free of time stamps.
  convert -size "${size}x${size}" xc:none -draw "affine $scale,0,0,$scale,-0.5,-0.5 $(grep -v '^#' ui/resources/taliard.mvg | tr '\n' ' ')" \
    -strip "PNG32:$out"
done
# The window's own icons (ui/AppIcon.cpp): XPM keeps one bit of transparency.
for size in 16 32 48; do
  convert "ui/resources/hicolor/${size}x${size}/apps/taliard.png" -channel A -threshold 50% +channel "xpm:-" |
    sed "s/^static const char \*[^[]*\[\] = {/static const char* const taliard${size}_xpm[] = {/" >"ui/taliard${size}.xpm"
done
