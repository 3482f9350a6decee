#!/bin/bash
# The same demo: both programs record the same 20 moments (every 11 s from
# 3 s on, one frame each on the recording clock) at 854 x 480 on one X
# server, and their frames agree except where the builds differ: at 3 s the
# phone's screen fills the view, showing the captured desktop on the
# handheld and nothing on the desktop; the handheld's scroller target is
# half the size, which blurs the scroller text a little (at 14 and 25 s),
# and the fluid's points (at 168 s) land a pixel apart here and there.
# Elsewhere at most 100 pixels may be far off: a ball swarm drawn in the
# wrong order, for one, puts 700 off.
# Usage: n9_same.sh QUINTARO-N9 QUINTARO DATA-DIR TEST-N9-LAYER
set -u
bin=$1
desktop=$2
data=$3
layer=$4
out=$(mktemp -d)
. "$(dirname "$0")/n9_lib.sh"
trap n9_cleanup EXIT
need_data
command -v compare >/dev/null || { echo "needs ImageMagick's compare, skipping"; exit 77; }

start_x 854x480
"$layer" --gtest_filter='paint.*' >/dev/null || fail "could not paint the root window"
moments=(--skip 3 --fps 1/11 --from 3 --to 212)
(cd "$data" && "$bin" "${moments[@]}" --capture "$out/n9") >/dev/null 2>"$out/err" ||
	fail "handheld recording failed"
(cd "$data" && "$desktop" "${moments[@]}" --capture "$out/desktop") >/dev/null 2>"$out/err" ||
	fail "desktop recording failed"
[ "$(ls "$out/n9" | wc -l)" = 20 ] || fail "handheld wrote $(ls "$out/n9" | wc -l) frames, not 20"
[ "$(ls "$out/desktop" | wc -l)" = 20 ] || fail "desktop wrote $(ls "$out/desktop" | wc -l) frames, not 20"

# Mean absolute difference per frame, 0 to 1 of full scale.
for f in $(ls "$out/n9"); do
	mae=$(compare -metric MAE "$out/n9/$f" "$out/desktop/$f" null: 2>&1 | sed -n 's/.*(\(.*\))/\1/p')
	[ -n "$mae" ] || fail "frame $f: no difference measured"
	far=$(compare -metric AE -fuzz 25% "$out/n9/$f" "$out/desktop/$f" null: 2>&1)
	echo "frame $f: mean difference $mae, $far pixels off by more than 25%"
	if [ "$f" = 000000.png ]; then
		awk -v d="$mae" 'BEGIN { exit !(d > 0.1) }' || fail "at 3 s the phone does not show the desktop"
		continue
	fi
	awk -v d="$mae" 'BEGIN { exit !(d < 0.01) }' || fail "frame $f differs by $mae"
	case $f in
	000001.png | 000002.png | 000015.png) allowed=4100 ;;
	*) allowed=100 ;;
	esac
	[ "$far" -le "$allowed" ] || fail "frame $f: $far pixels far off"
done
echo "same demo: ok"
