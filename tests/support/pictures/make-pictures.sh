#!/bin/bash
# Draws the pictures and cursors that the skin tests load, with ImageMagick and
# icotool (scripts/setup.sh installs both); the files are committed, run this
# again only after changing it. Names say what each file holds.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
# bmp NAME SIZE COLOUR [DRAW]: a 24-bit bitmap in one colour, with DRAW in red on it.
bmp() { /usr/bin/convert -size "$2" "xc:$3" -fill 'rgb(255,0,0)' -draw "${4:-point -1,-1}" \
  -strip -type TrueColor BMP3:"$1"; }
# cur NAME SIZE HOTX HOTY: a monochrome cursor, black where the L shape below is,
# transparent elsewhere; the shape differs from its mirror images.
cur() {
  /usr/bin/convert -size "$2" xc:none -fill black -draw 'rectangle 2,1 4,13' \
    -draw 'rectangle 2,11 12,13' -strip "PNG32:$T/shape.png"
  icotool -c --cursor -b 1 -X "$3" -Y "$4" -o "$1" "$T/shape.png"
}
rm -f ./*.bmp ./*.cur
bmp red-2x2.bmp 2x2 'rgb(255,0,0)'
bmp green-2x2.bmp 2x2 'rgb(0,255,0)'
bmp blue-2x2.bmp 2x2 'rgb(0,0,255)'
bmp red-4x4.bmp 4x4 'rgb(255,0,0)'
bmp green-4x4.bmp 4x4 'rgb(0,255,0)'
bmp blue-5x5.bmp 5x5 'rgb(0,0,255)'
bmp gray-4x3.bmp 4x3 'rgb(128,128,128)'
bmp gray-6x5.bmp 6x5 'rgb(128,128,128)'
# Red in the top-left 2x2 quarter, blue elsewhere.
bmp quarter-4x4.bmp 4x4 'rgb(0,0,255)' 'rectangle 0,0 1,1'
cur arrow-32.cur 32x32 9 3
cur arrow-16.cur 16x16 4 7
# Starts as a bitmap does and ends after five bytes.
printf 'BM\1\2\3' >broken.bmp
