#!/bin/bash
# Renews the reference thumbnails of the picture test after an intended
# change: records the scripted moments with both programs of a build, shows
# the old and the new thumbnails side by side on one sheet per program
# (BUILD/references-<program>.png, each pair labelled with its beat, what
# it shows and how far the two differ) and puts the new ones in
# tests/references/ for the commit. Look at the sheets before committing.
# usage: tools/references.sh [BUILD_FOLDER]
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
[ -d "$build/data/gfx" ] || { echo "references: no data in $build/data" >&2; exit 1; }
command -v montage >/dev/null || { echo "references: needs ImageMagick" >&2; exit 1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

for program in quintaro quintaro-n9; do
  [ -x "$build/$program" ] || { echo "references: no $build/$program" >&2; exit 1; }
  refs=$top/tests/references/$program
  echo "references: recording $program"
  bash "$top/tests/references.sh" record "$build/$program" "$build/data" "$tmp/$program" >"$tmp/log" 2>&1 ||
    { tail -5 "$tmp/log" >&2; echo "references: recording $program failed" >&2; exit 1; }
  i=0
  while read -r beat what; do
    new=$tmp/$program/$beat.png
    old=$refs/$beat.png
    if [ -f "$old" ]; then
      mae=$(compare -metric MAE "$new" "$old" null: 2>&1 | sed -n 's/.*(\(.*\))/\1/p')
      far=$(compare -metric AE -fuzz 10% "$new" "$old" null: 2>&1 || true)
      label="beat $beat: $what
mean difference ${mae:-?}, ${far:-?} pixels far off"
    else
      old=$tmp/none.png
      convert -size 160x90 xc:'#404040' "$old"
      label="beat $beat: $what
new moment"
    fi
    montage -label before "$old" -label after "$new" -tile 2x -geometry 320x180+2+2 \
      -background '#202020' -fill white -font DejaVu-Sans -pointsize 11 "$tmp/pair.png"
    convert "$tmp/pair.png" -background '#202020' -fill white -font DejaVu-Sans -pointsize 12 \
      label:"$label" -gravity center -append "$(printf '%s/%03d.png' "$tmp" $i)"
    i=$((i + 1))
  done <<EOF
$(grep -v '^#' "$top/tools/moments.txt")
EOF
  montage "$tmp"/[0-9][0-9][0-9].png -tile 3x -geometry +6+6 -background '#202020' -depth 8 \
    "$build/references-$program.png"
  rm -f "$tmp"/[0-9][0-9][0-9].png
  mkdir -p "$refs"
  rm -f "$refs"/*.png
  cp "$tmp/$program"/*.png "$refs/"
  echo "references: renewed $refs ($i moments); before and after: $build/references-$program.png"
done
