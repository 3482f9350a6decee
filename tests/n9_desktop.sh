#!/bin/bash
# The desktop captured at start: exactly, as the first frame and on the
# screen through the ES stand-in (handheld_test); black, without dying, on
# a screen smaller than the capture; and on the phone's screen in the
# opening, upright and in its colours.
# Usage: n9_desktop.sh QUINTARO-N9 DATA-DIR TEST-N9-LAYER
set -u
bin=$1
data=$2
layer=$3
out=$(mktemp -d)
. "$(dirname "$0")/n9_lib.sh"
trap n9_cleanup EXIT

start_x 854x480
"$layer" --gtest_filter='desktop.*' || fail "desktop capture"
start_x 640x400
"$layer" --gtest_filter='small_screen.*' || fail "capture on a small screen"
need_data

start_x 854x480
"$layer" --gtest_filter='paint.*' >/dev/null || fail "could not paint the root window"
(cd "$data" && "$bin" --capture "$out/frames" --from 3 --to 3) >/dev/null 2>"$out/err" ||
	fail "recording failed"
frame="$out/frames/000150.png"
[ -f "$frame" ] || fail "no frame 150"
# Beat 0 to 8: the phone's screen shows the desktop. Sample points inside
# the screen near its corners: white block top left, yellow bottom right,
# red grows to the right, green downwards.
rgb() {
	convert "$frame" -format "%[fx:int(255*p{$1,$2}.r)] %[fx:int(255*p{$1,$2}.g)] %[fx:int(255*p{$1,$2}.b)]" info:
}
check() {
	read -r r g b <<<"$(rgb "$1" "$2")"
	awk -v r="$r" -v g="$g" -v b="$b" "BEGIN { exit !($3) }" ||
		fail "phone screen at ($1, $2) is $r $g $b, wanted $3"
}
check 285 160 'r > 200 && g > 200 && b > 200'    # top-left block: white
check 570 320 'r > 200 && g > 200 && b < 60'     # bottom-right block: yellow
check 570 160 'r > 180 && g < 60'                # top right: red, no green
check 285 320 'r < 60 && g > 150'                # bottom left: green, no red
echo "desktop capture: ok"
