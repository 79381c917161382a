#!/bin/bash
# The skin gallery under Wine: builds, runs VelmoraGallery.exe with the sample
# skin (or the skin folder or .sdb given as the first argument) and writes
# what the screen shows of it to out/gallery/gallery.png.
#   bash scripts/gallery.sh [skin folder | skin.sdb]
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
SKIN="${1:+$(realpath "$1")}"
bash scripts/setup.sh
bash scripts/build.sh >/dev/null

OUT="$ROOT/out/gallery"
mkdir -p "$OUT"
rm -f "$OUT/gallery.bmp" "$OUT/gallery.png"

source scripts/wine-env.sh
wine_env_start_fresh
trap wine_env_stop EXIT
args=()
[ -n "$SKIN" ] && args+=("Z:$SKIN")
wine build/samples/gallery/VelmoraGallery.exe "${args[@]}" --screenshot "Z:$OUT/gallery.bmp" --menu
# The pixels outside the window's shape come out transparent.
convert "$OUT/gallery.bmp" -transparent '#ff00ff' -strip -define png:exclude-chunks=date,time \
  "$OUT/gallery.png"
rm -f "$OUT/gallery.bmp"
echo "Screenshot of the gallery: $OUT/gallery.png"
