#!/bin/sh
# Compares the --bench frame times of two builds side by side: runs them in
# turn (A B, B A, A B, ...) on the same display and prints per 10-second
# window the medians of both and the ratio B/A. On a shared, noisy machine
# the load slows both alike, so the ratio is the figure to trust; absolute
# times drift with the load. Processor time per frame (the "cpu" columns)
# leaves out the wait for a processor and is the steadier of the two.
#
#   tools/benchcmp.sh [-n RUNS] [-o FILE] A B [demo options]
#
# -o FILE keeps every run's bench lines, prefixed with side and run.
# A and B are build folders (holding quintaro and data/) or programs beside
# a data/ folder. Demo options (--to 140, --size 1280x720, ...) go to every
# run. Without a display it starts a virtual one for all runs.
set -e
usage="usage: tools/benchcmp.sh [-n RUNS] [-o FILE] A B [demo options]"
runs=5
keep=""
while [ "$1" = "-n" ] || [ "$1" = "-o" ]; do
	if [ $# -lt 2 ]; then
		echo "$usage" >&2
		exit 2
	fi
	if [ "$1" = "-n" ]; then
		runs=$2
	else
		keep=$2
	fi
	shift 2
done
case "$runs" in
'' | *[!0-9]*) echo "benchcmp: -n wants a number of runs from 1 to 50, not '$runs'" >&2; exit 2 ;;
esac
if [ "$runs" -lt 1 ] || [ "$runs" -gt 50 ]; then
	echo "benchcmp: -n wants a number of runs from 1 to 50, not '$runs'" >&2
	exit 2
fi
if [ $# -lt 2 ]; then
	echo "$usage" >&2
	exit 2
fi

# The program of a build folder or the program itself, as an absolute path.
program() {
	p=$1
	[ -d "$p" ] && p="$p/quintaro"
	if [ ! -f "$p" ] || [ ! -x "$p" ] || [ ! -d "$(dirname "$p")/data" ]; then
		echo "benchcmp: $1 is neither a build folder nor a program beside a data folder" >&2
		exit 2
	fi
	echo "$(cd "$(dirname "$p")" && pwd)/$(basename "$p")"
}
a=$(program "$1")
b=$(program "$2")
shift 2

if [ -z "$DISPLAY" ]; then
	[ -n "$keep" ] && keep=$(cd "$(dirname "$keep")" && pwd)/$(basename "$keep")
	exec xvfb-run -a -s "-screen 0 1920x1200x24 -noreset" "$0" -n "$runs" ${keep:+-o "$keep"} "$a" "$b" "$@"
fi

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# One run: its "bench" lines, each prefixed with the side and run number.
bench() {
	side=$1 prog=$2 run=$3
	shift 3
	if ! (cd "$(dirname "$prog")/data" && SDL_AUDIODRIVER=dummy "$prog" --bench "$@") \
		>"$out/stdout" 2>"$out/stderr"; then
		echo "benchcmp: run $run of $side failed:" >&2
		tail -5 "$out/stderr" >&2
		exit 1
	fi
	grep '^bench ' "$out/stderr" | sed "s/^/$side $run /" >>"$out/all"
	if [ -n "$keep" ]; then
		cp "$out/all" "$keep"
	fi
}

i=1
while [ "$i" -le "$runs" ]; do
	echo "benchcmp: run $i of $runs" >&2
	if [ $((i % 2)) -eq 1 ]; then
		bench A "$a" "$i" "$@"
		bench B "$b" "$i" "$@"
	else
		bench B "$b" "$i" "$@"
		bench A "$a" "$i" "$@"
	fi
	i=$((i + 1))
done

echo "A: $a"
echo "B: $b"
echo "$runs runs each, alternating; medians in ms; B/A of the medians, and the median of the runs' own B/A of the mean"
awk '
function num(x) {
	return x == "" ? "-" : sprintf("%.3f", x)
}
function ratio(b, a) {
	return (a == "" || b == "" || a + 0 == 0) ? "-" : sprintf("%.3f", b / a)
}
function median(list,    v, n, i, j, t) {
	n = split(list, v, " ")
	for (i = 2; i <= n; i++) {
		t = v[i] + 0
		for (j = i - 1; j >= 1 && v[j] + 0 > t; j--)
			v[j + 1] = v[j]
		v[j + 1] = t
	}
	if (n == 0)
		return ""
	if (n % 2)
		return v[(n + 1) / 2]
	return (v[n / 2] + v[n / 2 + 1]) / 2
}
# "A 3 bench 80-90 s: 500 frames, mean 20.40 ms, p99 30.50 ms, max 35.00 ms, cpu 18.10 ms"
# "A 3 bench start-up: 0.812 s to the first frame (...)"
{
	side = $1; run = $2; label = $4
	sub(/:$/, "", label)
	if ($5 == "s:")
		label = label " s"
	if (!(label in seen)) {
		seen[label] = 1
		order[++count] = label
	}
	m = ""; p = ""; c = ""
	if (label == "start-up")
		m = $5
	for (k = 5; k < NF; k++) {
		if ($k == "mean")
			m = $(k + 1)
		if ($k == "p99")
			p = $(k + 1)
		if ($k == "cpu")
			c = $(k + 1)
	}
	if (m != "")
		mean[side, label] = mean[side, label] " " m
	if (p != "")
		p99[side, label] = p99[side, label] " " p
	if (c != "")
		cpu[side, label] = cpu[side, label] " " c
	value[side, run, label] = m
}
END {
	printf "%-12s %8s %8s %8s %8s %8s %8s %8s %8s %8s %8s\n", "window", "A mean", "A p99", "A cpu",
		"B mean", "B p99", "B cpu", "B/A mean", "B/A p99", "B/A cpu", "runs B/A"
	for (w = 1; w <= count; w++) {
		label = order[w]
		am = median(mean["A", label]); bm = median(mean["B", label])
		ap = median(p99["A", label]); bp = median(p99["B", label])
		ac = median(cpu["A", label]); bc = median(cpu["B", label])
		pairs = ""
		for (r = 1; r <= runs; r++)
			if (value["A", r, label] + 0 > 0 && value["B", r, label] != "")
				pairs = pairs " " (value["B", r, label] / value["A", r, label])
		printf "%-12s %8s %8s %8s %8s %8s %8s %8s %8s %8s %8s\n", label, num(am), num(ap), num(ac),
			num(bm), num(bp), num(bc), ratio(bm, am), ratio(bp, ap), ratio(bc, ac), num(median(pairs))
	}
	print "(mean, p99: wall time per frame; cpu: processor time per frame, all threads; start-up in seconds)"
}' runs="$runs" "$out/all"
