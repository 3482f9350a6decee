#!/bin/bash
# The looping finale for SECONDS of demo time on the recording clock, at
# 10 frames/s (five logic steps a frame): the resident memory after the
# first quarter of the run may grow by at most 8 MB to its end.
# Usage: demo_soak.sh QUINTARO DATA-DIR SECONDS
set -u
bin=$(realpath "$1")
data=$2
seconds=$3
if [ ! -f "$data/quintaro.ogg" ] || [ ! -d "$data/gfx" ]; then
	echo "no demo data in $data, skipping"
	exit 77
fi
# The sanitizer's quarantine of freed memory would fill for minutes and
# look like growth; leaks proper are its leak checker's business, in the
# other tests. With that checker on, resident memory steps up by 20 to
# 30 MB at a random moment in about every other run, the program's code
# the same: here it stays off.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:quarantine_size_mb=0:detect_leaks=0"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cd "$data" || exit 1
# The finale starts at 183 s; the skip steps through the stages before it.
"$bin" --bench --fps 10 --skip 183 --to $((183 + seconds)) --size 64x36 >/dev/null 2>"$out/err" &
pid=$!
: >"$out/rss"
while kill -0 $pid 2>/dev/null; do
	awk '/^VmRSS:/ { print $2 }' /proc/$pid/status 2>/dev/null >>"$out/rss"
	sleep 0.5
done
wait $pid
status=$?
if [ $status -ne 0 ]; then
	echo "the demo ended with status $status:"
	tail -5 "$out/err"
	exit 1
fi
grep "^bench total" "$out/err"
awk -v s="$seconds" '
	{ rss[NR] = $1 }
	END {
		if (NR < 8) { print "only " NR " memory samples"; exit 1 }
		base = rss[int(NR / 4)]; top = base
		for (i = int(NR / 4); i <= NR; i++) if (rss[i] > top) top = rss[i]
		printf "resident memory over %d s of demo time: %.1f MB after a quarter, at most %.1f MB after (%d samples)\n",
			s, base / 1024, top / 1024, NR
		exit (top - base > 8192)
	}' "$out/rss"
