#!/bin/bash
# The frame after --seek T equals frame T of a whole 50 fps recording (what
# a viewer sees), at moments that hang on state built up before them: the
# city (92 s), the break (155 s), the fluid (168 s), the finale (200 s).
# Usage: seek.sh PROGRAM DATA-DIR [SECONDS ...], the moments in order.
set -u
bin=$(readlink -f "$1")
data=$(readlink -f "$2")
shift 2
moments=${*:-92 155 168 200}
out=$(mktemp -d)
. "$(dirname "$0")/n9_lib.sh"
trap n9_cleanup EXIT
need_data
start_x 854x480
record() { (cd "$data" && "$bin" --capture "$out/$1" --size 160x90 "${@:2}") >/dev/null 2>"$out/err"; }
record ref --from "${moments%% *}" --to "${moments##* }" || fail "the whole recording failed"
for t in $moments; do
	record "seek$t" --seek "$t" --from "$t" --to "$t" || fail "$t s: the seek's recording failed"
	mae=$(compare -metric MAE "$(printf '%s/ref/%06d.png' "$out" $((t * 50)))" "$out/seek$t/000000.png" null: 2>&1 |
		sed -n 's/.*(\(.*\))/\1/p')
	awk -v d="${mae:-1}" -v t="$t" 'BEGIN { printf "%s s: mean difference %.3f of 255\n", t, d * 255; exit !(d * 255 < 0.5) }' ||
		fail "$t s: the seek shows another picture than the whole recording"
done
echo "seeks exact: ok"
