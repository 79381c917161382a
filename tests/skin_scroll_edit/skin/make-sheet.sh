#!/bin/bash
# Draws the scroll-bar sheet of the tests' skin with ImageMagick; it is
# committed, run this again only after changing it. Eleven rows of four 16x16
# cells, 2 pixels apart on black; the cell in row r, column c is
# rgb(20+20r, 30+50c, 90); in the thumb rows (2 across, 7 down) the first and
# last two pixels along the thumb have blue 160 and 230 (ControlSkin.h).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
draw=()
for r in $(seq 0 10); do
  for c in 0 1 2 3; do
    x=$((c * 18)) y=$((r * 18)) colour="rgb($((20 + r * 20)),$((30 + c * 50))"
    draw+=(-fill "$colour,90)" -draw "rectangle $x,$y $((x + 15)),$((y + 15))")
    if [ "$r" = 2 ]; then
      draw+=(-fill "$colour,160)" -draw "rectangle $x,$y $((x + 1)),$((y + 15))")
      draw+=(-fill "$colour,230)" -draw "rectangle $((x + 14)),$y $((x + 15)),$((y + 15))")
    elif [ "$r" = 7 ]; then
      draw+=(-fill "$colour,160)" -draw "rectangle $x,$y $((x + 15)),$((y + 1))")
      draw+=(-fill "$colour,230)" -draw "rectangle $x,$((y + 14)) $((x + 15)),$((y + 15))")
    fi
  done
done
/usr/bin/convert -size 70x196 xc:black "${draw[@]}" -strip -type TrueColor BMP3:sheet.bmp
