#!/usr/bin/env bash
# make-artwork.sh [--check | --preview DIR]: draws the icons and glyphs into app/resources.
#   (no option)    write the .ico and .bmp files (commit them with any change to the drawing)
#   --check        fail when the committed files differ from what the drawing gives
#   --preview DIR  also write every picture as a 256-pixel PNG into DIR, to look at
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
res=$root/app/resources
draw=$root/scripts/make-artwork.py

case "${1:-}" in
  --check)
    exec python3 "$draw" --check "$res"
    ;;
  --preview)
    dir=${2:?--preview needs a folder}
    python3 "$draw" "$res"
    mkdir -p "$dir"
    # Nearest-neighbour enlargement; icons on a desktop blue so that their alpha shows.
    for ico in mainicon tray; do
      n=$(identify "$res/$ico.ico" | wc -l)
      for ((i = 0; i < n; i++)); do
        convert "$res/$ico.ico[$i]" -background '#3a6ea5' -alpha remove -alpha off \
          -sample 256x256 "$dir/$ico-$i.png"
      done
    done
    for bmp in "$res"/glyph_*.bmp; do
      convert "$bmp" -sample 256x256 "$dir/$(basename "$bmp" .bmp).png"
    done
    ;;
  "")
    python3 "$draw" "$res"
    ;;
  *)
    sed -n '2,5p' "$0" >&2
    exit 2
    ;;
esac
