#!/bin/bash
# Exact seek: the frame after --seek T is frame T of a whole recording at
# 50 frames a second (what a viewer sees in real time), at moments whose
# picture hangs on state built up before them: the city's draw distance and
# camera (92 s), the break's springs and random shards (155 s), the fluid
# over the torn city (168 s), the finale's balls and text (200 s). Small
# frames keep the reference recording short; both run on the recording
# clock, so a sound seek draws the same pixels.
#
# Usage: seek.sh PROGRAM DATA-DIR [SECONDS ...]
# (the moments, in order; by default those above). The handheld program
# always draws 854 x 480, so its test takes one moment.
set -u
[ $# -ge 2 ] || { echo "usage: seek.sh PROGRAM DATA-DIR [SECONDS ...]" >&2; exit 2; }
bin=$(readlink -f "$1")
data=$(readlink -f "$2")
shift 2
moments=${*:-92 155 168 200}
first=${moments%% *}
last=${moments##* }
out=$(mktemp -d)
. "$(dirname "$0")/n9_lib.sh"
trap n9_cleanup EXIT
need_data
command -v compare >/dev/null || { echo "needs ImageMagick, skipping"; exit 77; }

size=160x90
start_x 854x480
(cd "$data" && "$bin" --capture "$out/ref" --fps 50 --size $size --from $first --to $last) \
	>/dev/null 2>"$out/err" || fail "the whole recording failed"

failed=0
for t in $moments; do
	(cd "$data" && "$bin" --capture "$out/seek$t" --seek $t --from $t --to $t --size $size) \
		>/dev/null 2>"$out/err" || fail "$t s: the seek's recording failed"
	grep -q "^seeked to $t.00 s" "$out/err" || fail "$t s: no seek reported"
	ref=$(printf '%s/ref/%06d.png' "$out" $((t * 50)))
	mae=$(compare -metric MAE "$ref" "$out/seek$t/000000.png" null: 2>&1 | sed -n 's/.*(\(.*\))/\1/p')
	[ -n "$mae" ] || fail "$t s: no difference measured"
	mae=$(awk -v d="$mae" 'BEGIN { printf "%.3f", d * 255 }')
	if awk -v d="$mae" 'BEGIN { exit !(d < 0.5) }'; then
		echo "$t s: mean difference $mae of 255"
	else
		echo "$t s: DIFFERS from the whole recording, mean difference $mae of 255"
		failed=1
	fi
done
[ $failed = 0 ] || fail "a seek shows another picture than the whole recording"
echo "seeks exact: ok"
