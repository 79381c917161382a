#!/bin/bash
# Draws the pictures of the control tests' skin with ImageMagick; they are
# committed, run this again only after changing it.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/controls"
# The dialog's background: grey, its top-right 10x10 corner magenta (the clip
# colour) in its upper half only, so a cut-out shows which pixels it took.
convert -size 40x40 xc:'rgb(128,128,128)' -fill magenta -draw 'rectangle 30,0 39,4' \
  -type TrueColor BMP3:back.bmp
# A sheet of two 60x20 cells, and the command buttons' 16x14 picture.
convert -size 120x20 xc:'rgb(0,0,160)' -type TrueColor BMP3:cells.bmp
convert -size 16x14 xc:'rgb(0,160,0)' -type TrueColor BMP3:command.bmp
# The group box's caption picture: 46 pixels wide.
convert -size 46x12 xc:'rgb(160,0,160)' -type TrueColor BMP3:caption.bmp
# The progress bar's 12-pixel step, the slider's 20-pixel thumb, and four
# 10x10 animation frames in the first four state colours.
convert -size 12x10 xc:'rgb(0,200,0)' -type TrueColor BMP3:step.bmp
convert -size 20x20 xc:'rgb(200,0,0)' -type TrueColor BMP3:thumb.bmp
convert -size 10x10 xc:'rgb(200,0,0)' xc:'rgb(0,200,0)' xc:'rgb(0,0,200)' xc:'rgb(100,100,100)' \
  +append -type TrueColor BMP3:frames.bmp
