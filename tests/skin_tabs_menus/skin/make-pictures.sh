#!/bin/bash
# Draws the pictures of the tab strip, toolbar and menu tests' skin with
# ImageMagick; they are committed, run this again only after changing it.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/tabsmenus"
# The icons of checked menu items and of command 101: 12x12, one colour each.
convert -size 12x12 xc:'rgb(0,160,0)' -type TrueColor BMP3:check.bmp
convert -size 12x12 xc:'rgb(160,0,0)' -type TrueColor BMP3:open.bmp
# The element cursor of the tab strip and the toolbar.
convert -size 32x32 xc:black -type TrueColor CUR:hand.cur
