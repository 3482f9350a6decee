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

# beat:what the frame shows (the beat grid starts at 0.128 s, 0.634875 s a beat)
moments="0.5:phone,_start_capture 8.5:logo_on_the_phone 11.5:scroller_starts
20:logo,_scroller 32.5:two_pictures_on_the_phone 48.5:ring_grows 52.5:orange_on_the_phone
53.5:scroller_gone 70:orange,_heart 96.5:bubbles_flare 104.5:call_screen 110:phone_spins
116:wood_screen,_white_back 125:city_in_the_screen 135:city_in_the_screen 142:into_the_screen
150:city_revealed 156.5:flight_rises 160.5:credits 165.5:credits_1 170.5:credits_2
173.5:credits_3 178.5:credits_4 180.5:second_flight,_gear 195:second_flight 208.5:picture,_gear
211.5:picture_brightens 212.5:polyhedron 226:polyhedron 240.5:third_flight 249:city_breaks
253:city_breaks 256.5:face_backdrop 262:face_backdrop 269:backdrop_to_black 271.5:face
273.5:space_flight 280:phone_turns 284:phone_turns 288.5:finale 295:finale 300.5:closing_text
306:closing_text"
last=$(echo "$moments" | tr ' ' '\n' | tail -1 | cut -d: -f1)
to=$(awk -v b="$last" 'BEGIN { print 0.128 + b * 0.634875 + 1 }')

echo "gallery: recording the demo to $to s at $fps frames a second"
(cd "$build/data" && xvfb-run -a -s "-screen 0 1920x1200x24 -noreset" \
  "$build/quintaro" --capture "$tmp/frames" --fps $fps --to "$to" >"$tmp/log" 2>&1) ||
  { tail -5 "$tmp/log" >&2; echo "gallery: recording failed" >&2; exit 1; }

i=0
for m in $moments; do
  beat=${m%%:*}
  what=$(echo "${m#*:}" | tr _ ' ')
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
done
montage "$tmp"/[0-9][0-9][0-9].png -tile 6x -geometry +4+4 -background "#202020" -depth 8 "$out"
echo "gallery: wrote $out ($i frames)"
