#!/bin/sh
# Draws res/msgdlg.bmp, the "MSGDLG" strip of message-dialog icons: four 40x40
# pictures side by side (warning, error, information, confirmation) on the
# dialog face colour. Run by hand when the look changes; the result is kept.
set -eu
cd "$(dirname "$0")/../res"
font=DejaVu-Sans-Bold
convert -size 160x40 xc:'#f0f0f0' \
  -fill '#f5c211' -stroke '#8a6d00' -strokewidth 2 -draw "polygon 20,3 37,36 3,36" \
  -fill '#c01c28' -stroke '#7a0c14' -draw "circle 60,20 60,3" \
  -fill '#1c71d8' -stroke '#0b3d7a' -draw "circle 100,20 100,3" -draw "circle 140,20 140,3" \
  -stroke none -font "$font" -pointsize 24 \
  -fill black -annotate +15+34 '!' \
  -fill white -annotate +52+29 'X' -annotate +95+29 'i' -annotate +132+29 '?' \
  -type truecolor BMP3:msgdlg.bmp
