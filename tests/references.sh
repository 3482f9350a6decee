#!/bin/bash
# Pictures unchanged: the program records the demo once, at 5 frames a
# second on the recording clock, on a private X server of 854 x 480, and
# the frame just after each scripted moment (tools/moments.txt), shrunk to
# 160 x 90, is held against its reference thumbnail. A thumbnail passes
# when its mean difference stays under 1% of full scale and at most 2% of
# its pixels are off by more than 10%: room for another GL's rounding (the
# handheld's ES path puts the fluid's points a pixel apart, 1.5% of a
# thumbnail), none for a layer missing, misplaced or lit the wrong way.
#
# Usage: references.sh check PROGRAM DATA-DIR REFERENCE-DIR
#        references.sh record PROGRAM DATA-DIR OUTPUT-DIR
# record writes the thumbnails of this build (tools/references.sh renews
# the references with them).
set -u
[ $# = 4 ] || { echo "usage: references.sh check|record PROGRAM DATA-DIR REFERENCE-DIR" >&2; exit 2; }
mode=$1
bin=$(readlink -f "$2")
data=$(readlink -f "$3")
refs=$(readlink -m "$4")
out=$(mktemp -d)
. "$(dirname "$0")/n9_lib.sh"
trap n9_cleanup EXIT
need_data
command -v convert >/dev/null && command -v compare >/dev/null ||
	{ echo "needs ImageMagick, skipping"; exit 77; }
case $mode in
check) [ -d "$refs" ] || fail "no reference folder $refs" ;;
record) mkdir -p "$refs" || fail "can't create $refs" ;;
*) fail "mode must be check or record, not '$mode'" ;;
esac

fps=5
moments=$(grep -v '^#' "$(dirname "$0")/../tools/moments.txt")
# The first frame at or after a beat.
frame_of() {
	awk -v b="$1" -v f=$fps 'BEGIN { x = (0.128 + b * 0.634875) * f; n = int(x); if (n < x) n++; print n }'
}
last=$(frame_of "$(echo "$moments" | tail -1 | cut -d' ' -f1)")

start_x 854x480
(cd "$data" && "$bin" --capture "$out/frames" --fps $fps --to "$(awk -v n="$last" -v f=$fps 'BEGIN { print n / f }')") \
	>/dev/null 2>"$out/err" || fail "recording failed"

failed=0
while read -r beat what; do
	frame=$(printf '%s/frames/%06d.png' "$out" "$(frame_of "$beat")")
	[ -f "$frame" ] || fail "beat $beat: frame $frame missing"
	thumb="$out/$beat.png"
	convert "$frame" -filter box -resize '160x90!' -strip -define png:exclude-chunks=date,time "$thumb" ||
		fail "beat $beat: can't shrink $frame"
	if [ "$mode" = record ]; then
		cp "$thumb" "$refs/" || fail "can't write $refs/$beat.png"
		continue
	fi
	ref="$refs/$beat.png"
	if [ ! -f "$ref" ]; then
		echo "beat $beat ($what): no reference $ref"
		failed=1
		continue
	fi
	mae=$(compare -metric MAE "$thumb" "$ref" null: 2>&1 | sed -n 's/.*(\(.*\))/\1/p')
	far=$(compare -metric AE -fuzz 10% "$thumb" "$ref" null: 2>&1)
	[ -n "$mae" ] && [ -n "$far" ] || fail "beat $beat: no difference measured"
	if awk -v d="$mae" -v n="$far" 'BEGIN { exit !(d < 0.01 && n <= 288) }'; then
		echo "beat $beat ($what): mean difference $mae, $far pixels far off"
	else
		echo "beat $beat ($what): DIFFERS, mean difference $mae, $far of 14400 pixels far off"
		failed=1
	fi
done <<EOF
$moments
EOF
[ "$mode" = record ] && { echo "wrote the thumbnails of $(echo "$moments" | wc -l) moments to $refs"; exit 0; }
[ $failed = 0 ] || fail "the pictures differ from the references (tools/references.sh shows them side by side)"
echo "pictures unchanged: ok"
