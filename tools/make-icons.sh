#!/bin/sh
# Draws the program icon (res/nimvara.ico) at the sizes Windows asks for.
# Run by hand when the look changes; the result is kept in the repository.
set -eu
cd "$(dirname "$0")/../res"
convert -size 256x256 xc:none \
  -fill '#1f5fae' -stroke '#0d2f5c' -strokewidth 10 -draw "circle 128,128 128,12" \
  -fill none -stroke white -strokewidth 14 \
  -draw "ellipse 128,128 50,112 0,360" -draw "line 18,128 238,128" \
  -draw "line 36,70 220,70" -draw "line 36,186 220,186" \
  -define icon:auto-resize=256,64,48,40,32,24,20,16 nimvara.ico
