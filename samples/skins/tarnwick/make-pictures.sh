#!/bin/bash
# Draws the pictures of the updater's skin (update.xml) with ImageMagick
# (scripts/setup.sh installs it and the fonts used here). The pictures are
# committed, so the build needs none of this; run it again after changing a
# colour or a shape:
#   bash samples/skins/tarnwick/make-pictures.sh
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
mkdir -p update

# The theme: a night-blue lobby look with one bright accent.
ACCENT='#3d8bff'
ACCENT_LIGHT='#5fd0ff'
BODY='#121620'
BAND='#0e1119'
LINE='#232a38'
GLYPH='#8c94a6'
LATIN='DejaVu-Sans-Bold'
CJK='WenQuanYi-Micro-Hei'

# 8-bit pictures without colour profile or time stamps, so that a run that
# changes nothing leaves the committed files as they are.
png() { # convert arguments..., output (PNG32 with alpha, PNG24 without)
  local kind="$1"; shift
  convert "${@:1:$#-1}" -strip -depth 8 -define png:exclude-chunks=date,time "$kind:${@: -1}"
}

# --- The window: 580x176, a banner on the left, the body on the right. -------
# Magenta is the clip colour: the window region cuts it out at the four
# rounded corners, so the corners are drawn without anti-aliasing.
W=580; H=176; B=188
convert -size ${B}x${H} gradient:'#26358a'-'#0b0f2a' \
  \( -size ${B}x${H} radial-gradient:'#4a6cff'-none -alpha set -channel A -evaluate multiply 0.55 +channel \
     -geometry -40-70 \) -compose Screen -composite -compose Over \
  -fill none -stroke '#ffffff18' -strokewidth 1 \
  -draw 'path "M -20,150 C 40,110 90,170 210,112"' \
  -draw 'path "M -20,166 C 50,126 110,186 210,130"' \
  -stroke none -fill '#ffffff10' -draw 'polygon 0,176 70,118 120,150 188,96 188,176' \
  -fill '#0000003a' -draw 'polygon 0,176 46,140 98,166 150,132 188,150 188,176' \
  /tmp/tarnwick-banner.png
# The emblem: a gem of two facets in the accent colours, lit from above.
convert -size 64x64 xc:none \
  -fill "$ACCENT" -draw 'polygon 32,4 58,24 32,60 6,24' \
  -fill "$ACCENT_LIGHT" -draw 'polygon 32,4 58,24 32,30 6,24' \
  -fill '#ffffff59' -draw 'polygon 32,4 44,13 32,20 20,13' \
  -fill '#0a1a4a59' -draw 'polygon 32,30 58,24 32,60' \
  /tmp/tarnwick-gem.png
convert /tmp/tarnwick-banner.png \
  /tmp/tarnwick-gem.png -geometry +62+26 -composite \
  -font "$LATIN" -pointsize 21 -kerning 4 -fill white -gravity north -annotate +0+98 'DOVREL' \
  -font "$CJK" -pointsize 13 -kerning 6 -fill '#b9c4ff' -annotate +0+128 '游戏大厅' \
  -gravity northwest /tmp/tarnwick-banner.png

convert -size ${W}x${H} xc:'#ff00ff' +antialias \
  -fill "$LINE" -draw "roundrectangle 0,0 $((W-1)),$((H-1)) 8,8" \
  -fill "$BODY" -draw "roundrectangle 1,1 $((W-2)),$((H-2)) 7,7" \
  -fill "$BAND" -draw "roundrectangle $B,1 $((W-2)),48 7,7" \
  -fill "$BODY" -draw "rectangle $B,41 $((W-2)),48" \
  -fill "$LINE" -draw "rectangle $B,40 $((W-2)),40" \
  -fill "$LINE" -draw "rectangle 210,142 549,142" \
  /tmp/tarnwick-body.png
# The banner goes in with the window's left corners kept round.
convert /tmp/tarnwick-banner.png +antialias \
  \( -size ${B}x${H} xc:black -fill white -draw "roundrectangle 1,1 $((B+12)),$((H-2)) 7,7" \) \
  -alpha off -compose CopyOpacity -composite /tmp/tarnwick-banner-cut.png
convert /tmp/tarnwick-body.png /tmp/tarnwick-banner-cut.png -geometry +0+0 -compose Over -composite \
  -fill "$LINE" -draw "rectangle $B,1 $B,$((H-2))" \
  -alpha off /tmp/tarnwick-back.png
png PNG24 /tmp/tarnwick-back.png update/back.png

# --- Title-bar buttons: a sheet of four 34x28 cells each (normal, over, down,
# disabled), a glyph on a plate that shows under the mouse. ------------------
caption_cell() { # plate glyph-colour glyph-draw output
  convert -size 34x28 xc:none -fill "$1" -stroke none -draw 'roundrectangle 2,2 31,25 5,5' \
    -fill none -stroke "$2" -strokewidth 1.4 -draw "$3" "$4"
}
caption_sheet() { # name glyph-draw over-plate
  caption_cell none "$GLYPH" "$2" /tmp/tarnwick-cell0.png
  caption_cell "$3" white "$2" /tmp/tarnwick-cell1.png
  caption_cell "$LINE" '#c8cdd7' "$2" /tmp/tarnwick-cell2.png
  caption_cell none '#3c4250' "$2" /tmp/tarnwick-cell3.png
  png PNG32 /tmp/tarnwick-cell{0,1,2,3}.png +append "update/caption-$1.png"
}
caption_sheet min 'line 12,14.5 22,14.5' '#262d3b'
caption_sheet close 'line 12.5,9.5 21.5,18.5 line 21.5,9.5 12.5,18.5' '#d9404c'

# --- The progress bar: its client is 338x29 inside the border the updater
# gives it. The track is stretched whole; the fill (12 pixels, stretched
# between 4-pixel ends) is lit from above, with a sheen on its upper half and
# a bright leading edge. ----------------------------------------------------
png PNG24 -size 16x29 xc:'#0a0d14' -fill '#1a2030' -draw 'rectangle 0,28 15,28' \
  -fill '#06080d' -draw 'rectangle 0,0 15,0' update/bar-back.png
png PNG32 -size 12x25 gradient:"$ACCENT_LIGHT"-"$ACCENT" \
  -fill '#ffffff33' -draw 'rectangle 0,0 11,11' \
  -fill '#d8f6ff' -draw 'rectangle 11,0 11,24' -fill '#9fe4ff' -draw 'rectangle 10,0 10,24' \
  update/bar-step.png

rm -f /tmp/tarnwick-*.png
