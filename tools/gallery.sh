#!/bin/sh
# Frame gallery: records the demo once and lays out, on one contact sheet,
# a frame just after each scripted moment (every stage change and every new
# picture on the phone's screen), with its time, beat and what should show.
# usage: tools/gallery.sh [BUILD_FOLDER] [OUTPUT_PNG]
set -e
build=$(cd "${1:-build}" && pwd)
out=${2:-$build/gallery.png}
[ -x "$build/quintaro" ] && [ -d "$build/data/gfx" ] ||
  { echo "gallery: no built demo with its data in $build" >&2; exit 1; }
fps=5
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# beat and what the frame shows, one moment a line
moments=$(grep -v '^#' "$(dirname "$0")/moments.txt")
last=$(echo "$moments" | tail -1 | cut -d' ' -f1)
to=$(awk -v b="$last" 'BEGIN { print 0.128 + b * 0.634875 + 1 }')

echo "gallery: recording the demo to $to s at $fps frames a second"
(cd "$build/data" && xvfb-run -a -s "-screen 0 1920x1200x24 -noreset" \
  "$build/quintaro" --capture "$tmp/frames" --fps $fps --to "$to" >"$tmp/log" 2>&1) ||
  { tail -5 "$tmp/log" >&2; echo "gallery: recording failed" >&2; exit 1; }

i=0
while read -r beat what; do
  # the first recorded frame at or after the moment, and its own time
  n=$(awk -v b="$beat" -v f=$fps 'BEGIN { x = (0.128 + b * 0.634875) * f; n = int(x); if (n < x) n++; print n }')
  frame=$(printf '%s/frames/%06d.png' "$tmp" "$n")
  [ -f "$frame" ] || { echo "gallery: frame $n missing" >&2; exit 1; }
  label=$(awk -v n=$n -v f=$fps -v w="$what" \
    'BEGIN { t = n / f; printf "%.2f s  beat %.2f\n%s", t, (t - 0.128) / 0.634875, w }')
  convert "$frame" -resize 320x180 +size -background '#202020' -fill white \
    -font DejaVu-Sans -pointsize 12 label:"$label" -gravity center -append \
    "$(printf '%s/%03d.png' "$tmp" $i)"
  i=$((i + 1))
done <<EOF
$moments
EOF
montage "$tmp"/[0-9][0-9][0-9].png -tile 6x -geometry +4+4 -background "#202020" -depth 8 "$out"
echo "gallery: wrote $out ($i frames)"
