#!/usr/bin/env bash
# Makes Kelvaron's icons from the one drawing, data/kelvaron.svg (the build runs it):
#   scripts/make-icons.sh OUT [png|ico]...     (both when none is named)
#   png  OUT/hicolor/NxN/apps/kelvaron.png at the sizes desktops look for, and the drawing itself
#        as OUT/hicolor/scalable/apps/kelvaron.svg
#   ico  OUT/kelvaron.ico with 16, 32, 48 and 256 pixels, the last stored as PNG as Windows expects
# rsvg-convert (librsvg2-bin) draws, icotool (icoutils) packs; neither writes a time or a name into
# what it makes, so the same drawing gives the same files.
set -euo pipefail
svg=$(cd "$(dirname "$0")/.." && pwd)/data/kelvaron.svg
[ $# -ge 1 ] || { echo "usage: make-icons.sh OUT [png|ico]..." >&2; exit 2; }
out=$1; shift
[ $# -gt 0 ] || set -- png ico

draw() {  # SIZE FILE
  mkdir -p "$(dirname "$2")"
  rsvg-convert --width "$1" --height "$1" --format png --output "$2" "$svg"
}

png() {
  local size
  for size in 16 22 24 32 48 64 128 256; do
    draw "$size" "$out/hicolor/${size}x${size}/apps/kelvaron.png"
  done
  mkdir -p "$out/hicolor/scalable/apps"
  cp "$svg" "$out/hicolor/scalable/apps/kelvaron.svg"
}

ico() {
  local size sizes=()
  for size in 16 32 48 256; do
    draw "$size" "$out/ico/$size.png"
    sizes+=("$out/ico/$size.png")
  done
  # -r: the 256-pixel picture as PNG inside the .ico; the small ones as bitmaps, which every Windows reads.
  icotool --create --output "$out/kelvaron.ico" "${sizes[@]:0:3}" --raw="${sizes[3]}"
}

for kind in "$@"; do
  case $kind in
    png | ico) "$kind" ;;
    *) echo "usage: make-icons.sh OUT [png|ico]..." >&2; exit 2 ;;
  esac
done
