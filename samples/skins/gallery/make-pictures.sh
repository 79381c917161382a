#!/bin/bash
# Draws the pictures of the gallery skin with ImageMagick (scripts/setup.sh
# installs it). The pictures are committed beside their descriptions, so the
# build needs none of this; run it again after changing a colour or a shape:
#   bash samples/skins/gallery/make-pictures.sh
# Each control family keeps its pictures in the folder named after its
# description file (dialog.xml -> dialog/, buttons.xml -> buttons/).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

# The theme: a dark launcher look with one accent colour.
ACCENT='#588cff'
ACCENT_LIGHT='#76a2ff'
ACCENT_DARK='#4674e6'
ACCENT_DIM='#2d3c5f'
BODY='#15181f'
HEADER='#0f1117'
BORDER='#2c323e'
DIVIDER='#20242e'
GLYPH='#969dab'
GLYPH_DIM='#464b55'

# 8-bit RGBA pictures without colour profile or time stamps, so that a run that changes
# nothing leaves the committed files as they are.
png() {
  convert "${@:1:$#-1}" -strip -depth 8 -define png:exclude-chunks=date,time "PNG32:${@: -1}"
}

mkdir -p dialog buttons

# --- dialog/: the dialog's background and its title-bar buttons -------------
# 64x80, stretched with margins 12 (left, right, bottom) and 52 (top: the
# 48-pixel title band, its divider and a little body). Magenta is the clip
# colour that the window region cuts out at the rounded corners, so nothing is
# anti-aliased here: every corner pixel is either magenta or the skin's.
convert -size 64x80 xc:'#ff00ff' +antialias \
  -fill "$BORDER" -draw 'roundrectangle 0,0 63,79 10,10' \
  -fill "$BODY" -draw 'roundrectangle 1,1 62,78 9,9' \
  -fill "$HEADER" -draw 'roundrectangle 1,1 62,60 9,9' \
  -fill "$BODY" -draw 'rectangle 1,49 62,66' \
  -fill "$DIVIDER" -draw 'rectangle 1,48 62,48' \
  -type TrueColor BMP3:dialog/back.bmp

png -size 22x22 gradient:"$ACCENT_LIGHT"-'#7b5cff' \
  \( -size 22x22 xc:none -fill white -draw 'roundrectangle 0,0 21,21 6,6' \) \
  -compose CopyOpacity -composite -compose Over \
  -stroke white -strokewidth 2.2 -fill none -draw 'polyline 6.5,7 11,15.5 15.5,7' \
  dialog/logo.png

# Title-bar buttons: one sheet per button, four 36x28 cells (normal, over,
# down, disabled), each a rounded plate behind a glyph.
caption_cell() { # plate glyph-colour glyph-draw output
  convert -size 36x28 xc:none -fill "$1" -stroke none -draw 'roundrectangle 2,2 33,25 6,6' \
    -fill none -stroke "$2" -strokewidth 1.3 -draw "$3" "$4"
}
caption_sheet() { # name glyph-draw over-plate
  local cells=()
  caption_cell none "$GLYPH" "$2" /tmp/velmora-cell0.png
  caption_cell "$3" white "$2" /tmp/velmora-cell1.png
  caption_cell "$DIVIDER" '#c8cdd7' "$2" /tmp/velmora-cell2.png
  caption_cell none "$GLYPH_DIM" "$2" /tmp/velmora-cell3.png
  png /tmp/velmora-cell{0,1,2,3}.png +append "dialog/caption-$1.png"
  rm -f /tmp/velmora-cell{0,1,2,3}.png
}
caption_sheet min 'line 13,14.5 23,14.5' '#282d38'
caption_sheet max 'rectangle 13.5,9.5 22.5,18.5' '#282d38'
caption_sheet restore 'rectangle 13.5,11.5 20.5,18.5 polyline 15.5,11.5 15.5,9.5 22.5,9.5 22.5,16.5 20.5,16.5' '#282d38'
caption_sheet close 'line 13.5,9.5 22.5,18.5 line 22.5,9.5 13.5,18.5' '#d9404c'

# --- buttons/: push buttons, check boxes, radio boxes -----------------------
# Push buttons: 24x24 rounded plates stretched with 8-pixel margins.
plate() { # fill stroke output
  png -size 24x24 xc:none -fill "$1" -stroke "$2" -strokewidth 1 \
    -draw 'roundrectangle 0.5,0.5 23.5,23.5 6,6' "$3"
}
plate '#252a35' '#343b49' buttons/button-normal.png
plate '#2e3442' '#46506a' buttons/button-over.png
plate '#1e222b' '#343b49' buttons/button-down.png
plate '#1b1e26' '#252933' buttons/button-disable.png
plate "$ACCENT" "$ACCENT_LIGHT" buttons/primary-normal.png
plate "$ACCENT_LIGHT" '#9cbcff' buttons/primary-over.png
plate "$ACCENT_DARK" "$ACCENT_DARK" buttons/primary-down.png
plate "$ACCENT_DIM" "$ACCENT_DIM" buttons/primary-disable.png

# Check and radio boxes: 18x18, one picture per state; the checked ones carry
# a white tick or dot on the accent colour.
box() { # shape fill stroke mark-draw mark-colour output
  local shape='roundrectangle 0.5,0.5 17.5,17.5 4,4'
  [ "$1" = radio ] && shape='circle 9,9 9,0.6'
  png -size 18x18 xc:none -fill "$2" -stroke "$3" -strokewidth 1.2 -draw "$shape" \
    -fill "$5" -stroke "$5" -strokewidth 2 -draw "$4" "$6"
}
TICK='fill none polyline 4.5,9.2 7.6,12.2 13.5,5.8'
DOT='circle 9,9 9,5.8'
for kind in check radio; do
  box $kind '#1c1f26' '#545c6c' 'point -9,-9' none "buttons/$kind-normal.png"
  box $kind '#20242d' "$ACCENT" 'point -9,-9' none "buttons/$kind-over.png"
  box $kind '#181b21' "$ACCENT_DARK" 'point -9,-9' none "buttons/$kind-down.png"
  box $kind '#181a20' '#30343e' 'point -9,-9' none "buttons/$kind-disable.png"
  mark="$TICK"
  [ $kind = radio ] && mark="$DOT"
  box $kind "$ACCENT" "$ACCENT" "$mark" white "buttons/$kind-checkednormal.png"
  box $kind "$ACCENT_LIGHT" "$ACCENT_LIGHT" "$mark" white "buttons/$kind-checkedover.png"
  box $kind "$ACCENT_DARK" "$ACCENT_DARK" "$mark" '#dde6ff' "buttons/$kind-checkeddown.png"
  box $kind "$ACCENT_DIM" "$ACCENT_DIM" "$mark" '#7f8aa3' "buttons/$kind-checkeddisable.png"
done

# --- edit/: edits and scroll bars -------------------------------------------
# The scroll bar sheet: cells of 14x14, a row per part (left arrow, right
# arrow, horizontal thumb, its gripper, horizontal track, then the same
# upright, and the corner), a column per state (normal, over, down, disabled).
# The sheet is copied as it is, so every cell is opaque on the track colour.
mkdir -p edit
TRACK='#181b22'
cell() { # output draw...
  local out="$1"; shift
  convert -size 14x14 xc:"$TRACK" "$@" "PNG24:$out"
}
for state in 0 1 2 3; do
  glyph=('#6e7686' '#c8cdd7' "$ACCENT" '#3c414b')
  thumb=('#3e4554' '#545d70' "$ACCENT_DARK" '#282c35')
  grip=('#586072' '#6e7890' '#8fb0ff' '#30343e')
  plate=("$TRACK" '#222631' '#1c2029' "$TRACK")
  g="${glyph[$state]}"; t="${thumb[$state]}"; p="${plate[$state]}"
  cell /tmp/velmora-left$state.png -fill "$p" -draw 'roundrectangle 0,0 13,13 3,3' \
    -fill none -stroke "$g" -strokewidth 1.6 -draw 'polyline 8,3.5 4.5,7 8,10.5'
  convert /tmp/velmora-left$state.png -flop /tmp/velmora-right$state.png
  cell /tmp/velmora-thumb$state.png -fill "$t" -draw 'roundrectangle 0,3 13,10 2,2'
  cell /tmp/velmora-grip$state.png -fill "$t" -draw 'rectangle 0,3 13,10' \
    -fill "${grip[$state]}" -draw 'rectangle 4,5 4,8 rectangle 6,5 6,8 rectangle 8,5 8,8'
  cell /tmp/velmora-track$state.png
  for part in left right thumb grip track; do
    convert /tmp/velmora-$part$state.png -rotate 90 /tmp/velmora-v$part$state.png
  done
  cell /tmp/velmora-corner$state.png
  convert /tmp/velmora-{left,right,thumb,grip,track,vleft,vright,vthumb,vgrip,vtrack,corner}$state.png \
    -append /tmp/velmora-column$state.png
done
png /tmp/velmora-column{0,1,2,3}.png +append -alpha off edit/scrollbar.png
rm -f /tmp/velmora-*.png

# --- combobox/: the combo box's drop button ---------------------------------
# A chevron of 14x14 per look, dark on the combo box's light field: quiet,
# darker under the mouse, the accent while pressed.
mkdir -p combobox
chevron() { # colour output
  png -size 14x14 xc:none -fill none -stroke "$1" -strokewidth 1.6 \
    -draw 'polyline 3.5,5.5 7,9 10.5,5.5' "$2"
}
chevron '#5a6170' combobox/arrow-normal.png
chevron "$HEADER" combobox/arrow-over.png
chevron "$ACCENT_DARK" combobox/arrow-down.png

# --- lists/: list, header and tree ------------------------------------------
mkdir -p lists
# The header: a 24-pixel band (its height is the header's) with a hairline
# under it, stretched over each item; a divider at each item's right edge;
# the sort arrows.
png -size 8x24 gradient:'#1d212b'-"$HEADER" -fill "$BORDER" -draw 'line 0,23 7,23' \
  lists/header.png
png -size 2x24 xc:none -fill "$BORDER" -draw 'rectangle 0,6 0,17' lists/separator.png
png -size 9x5 xc:none -fill "$ACCENT" -draw 'polygon 0,5 4.5,0 9,5' lists/sort-up.png
png -size 9x5 xc:none -fill "$ACCENT" -draw 'polygon 0,0 4.5,5 9,0' lists/sort-down.png
# A cell's "Join" button: three 40x16 plates side by side (normal, over, down).
join_plate() { # fill stroke output
  png -size 40x16 xc:none -fill "$1" -stroke "$2" -strokewidth 1 \
    -draw 'roundrectangle 0.5,0.5 39.5,15.5 5,5' "$3"
}
join_plate "$ACCENT_DIM" '#3a4f80' /tmp/velmora-join0.png
join_plate "$ACCENT" "$ACCENT_LIGHT" /tmp/velmora-join1.png
join_plate "$ACCENT_DARK" "$ACCENT_DARK" /tmp/velmora-join2.png
png /tmp/velmora-join{0,1,2}.png +append lists/join.png
rm -f /tmp/velmora-join{0,1,2}.png
# A load bar's filled part, stretched along with 3-pixel rounded ends.
png -size 8x8 xc:none \( -size 8x8 gradient:"$ACCENT_LIGHT"-'#7b5cff' -rotate 90 \) \
  -compose Over -composite \( -size 8x8 xc:none -fill white \
  -draw 'roundrectangle 0,0 7,7 3,3' \) -compose CopyOpacity -composite lists/load.png
# Status dots of a server, a room's dot, and the tree's chevrons.
png -size 8x8 xc:none -fill '#3ecf8e' -draw 'circle 3.5,3.5 3.5,0.5' lists/online.png
png -size 8x8 xc:none -fill '#f0b13c' -draw 'circle 3.5,3.5 3.5,0.5' lists/busy.png
png -size 6x6 xc:none -fill "$GLYPH_DIM" -draw 'circle 2.5,2.5 2.5,0.5' lists/room.png
png -size 10x10 xc:none -fill none -stroke "$GLYPH" -strokewidth 1.5 \
  -draw 'polyline 2,3.5 5,6.5 8,3.5' lists/expand.png
png -size 10x10 xc:none -fill none -stroke "$GLYPH" -strokewidth 1.5 \
  -draw 'polyline 3.5,2 6.5,5 3.5,8' lists/collapse.png

# --- tabs/: tab strip, toolbar, menu bar and popup menus ---------------------
mkdir -p tabs
# Tabs: 24x28 plates open at the bottom, stretched sideways with 8-pixel
# margins; the chosen one carries an accent bar.
tab() { # fill stroke output [accent-draw]
  png -size 24x28 xc:none -fill "$1" -stroke "$2" -strokewidth 1 \
    -draw 'roundrectangle 0.5,0.5 23.5,36 6,6' -stroke none -fill "$ACCENT" -draw "${4:-point -9,-9}" "$3"
}
tab '#1a1e26' "$BORDER" tabs/tab-normal.png
tab '#212632' '#3a4252' tabs/tab-over.png
tab '#262c39' '#3a4252' tabs/tab-down.png 'rectangle 5,25 18,27'
# A tab's close mark: two 10x10 cells, normal and over.
png -size 10x10 xc:none -stroke "$GLYPH" -strokewidth 1.4 -draw 'line 2,2 7.5,7.5 line 7.5,2 2,7.5' \
  \( -size 10x10 xc:none -stroke white -strokewidth 1.4 -draw 'line 2,2 7.5,7.5 line 7.5,2 2,7.5' \) \
  +append tabs/tab-close.png
# Scroll arrows: cells of 18x22, a row per arrow (left, right), a column per
# state (normal, over, down, disabled).
arrow_cell() { # plate glyph output
  convert -size 18x22 xc:none -fill "$1" -stroke none -draw 'roundrectangle 1,2 16,19 4,4' \
    -fill none -stroke "$2" -strokewidth 1.6 -draw 'polyline 10.5,7 7,11 10.5,15' "$3"
}
arrow_cell none "$GLYPH" /tmp/velmora-arrow0.png
arrow_cell '#252a35' white /tmp/velmora-arrow1.png
arrow_cell "$ACCENT_DIM" white /tmp/velmora-arrow2.png
arrow_cell none "$GLYPH_DIM" /tmp/velmora-arrow3.png
for state in 0 1 2 3; do
  convert /tmp/velmora-arrow$state.png -flop /tmp/velmora-rarrow$state.png
done
convert /tmp/velmora-arrow{0,1,2,3}.png +append /tmp/velmora-left.png
convert /tmp/velmora-rarrow{0,1,2,3}.png +append /tmp/velmora-right.png
png /tmp/velmora-left.png /tmp/velmora-right.png -append tabs/arrows.png
rm -f /tmp/velmora-*.png
# Toolbar: 30x28 plates behind 16x16 glyphs; a chosen button is accent-dim.
tool_plate() { # fill stroke output
  png -size 30x28 xc:none -fill "$1" -stroke "$2" -strokewidth 1 \
    -draw 'roundrectangle 0.5,0.5 29.5,27.5 5,5' "$3"
}
tool_plate '#1a1e26' "$BORDER" tabs/tool-normal.png
tool_plate '#252a35' '#46506a' tabs/tool-over.png
tool_plate "$ACCENT_DIM" "$ACCENT" tabs/tool-down.png
glyph() { # draw output
  png -size 16x16 xc:none -fill '#dde2ea' -stroke none -draw "$1" "$2"
}
glyph 'polygon 4,2 13,8 4,14' tabs/tool-play.png
glyph 'rectangle 3,2 6,13 rectangle 9,2 12,13' tabs/tool-pause.png
glyph 'roundrectangle 3,3 12,12 2,2' tabs/tool-stop.png
# Menu bar buttons: plates stretched over the button.
png -size 16x16 xc:none -fill '#252a35' -draw 'roundrectangle 0,0 15,15 4,4' tabs/bar-over.png
png -size 16x16 xc:none -fill "$ACCENT_DIM" -draw 'roundrectangle 0,0 15,15 4,4' tabs/bar-down.png
# Popup menus: a rounded panel whose corners stay transparent, so they come
# out black and the menu's window region leaves them out; the highlight; the
# check mark and two item icons.
png -size 24x24 xc:none -fill '#1b1f28' -stroke "$BORDER" -strokewidth 1 \
  -draw 'roundrectangle 0.5,0.5 23.5,23.5 7,7' tabs/menu-back.png
png -size 16x16 xc:none -fill "$ACCENT" -draw 'roundrectangle 0,0 15,15 4,4' tabs/menu-highlight.png
png -size 16x16 xc:none -fill none -stroke "$ACCENT_LIGHT" -strokewidth 2 \
  -draw 'polyline 3.5,8.5 6.5,11.5 12.5,4.5' tabs/menu-check.png
png -size 16x16 xc:none -fill '#e0b84c' -stroke none \
  -draw 'roundrectangle 1,3 7,6 1,1 roundrectangle 1,4 14,13 1.5,1.5' tabs/menu-open.png
png -size 16x16 xc:none -fill "$ACCENT_LIGHT" -stroke none \
  -draw 'roundrectangle 2,2 13,13 2,2' -fill '#1b1f28' -draw 'rectangle 5,3 10,6 rectangle 4,9 11,13' \
  tabs/menu-save.png

# --- progress/: the library slider's knob and the animation's spinner -------
# The knob: 14x14, white with an accent ring. The spinner: eight 18x18 frames
# side by side, eight dots round a circle, the lit one going round clockwise
# and the ones behind it fading.
mkdir -p progress
png -size 14x14 xc:none -fill white -stroke "$ACCENT" -strokewidth 2 -draw 'circle 7,7 7,1.5' \
  progress/knob.png
for frame in 0 1 2 3 4 5 6 7; do
  draw=()
  for dot in 0 1 2 3 4 5 6 7; do
    age=$(( (frame - dot + 8) % 8 ))
    alpha=$(awk -v a=$age 'BEGIN { printf "%.2f", a < 4 ? 1 - a * 0.22 : 0.2 }')
    read -r x y < <(awk -v d=$dot 'BEGIN { t = d * 3.14159265 / 4; printf "%.2f %.2f\n", 9 + 6 * sin(t), 9 - 6 * cos(t) }')
    draw+=(-fill "rgba(118,162,255,$alpha)" -draw "circle $x,$y $x,$(awk -v y=$y 'BEGIN { printf "%.2f", y - 1.8 }')")
  done
  convert -size 18x18 xc:none "${draw[@]}" "/tmp/velmora-spin$frame.png"
done
png /tmp/velmora-spin{0,1,2,3,4,5,6,7}.png +append progress/spinner.png
rm -f /tmp/velmora-spin*.png
