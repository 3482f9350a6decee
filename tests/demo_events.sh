#!/bin/bash
# The whole demo on the recording clock: every event of the timeline is
# created once at its beat, each one-shot event of the script fires once, in
# the first frame that reaches it, and --dump-events lists them all at the end.
# Usage: demo_events.sh QUINTARO DATA-DIR
set -u
bin=$1
data=$2
if [ ! -f "$data/quintaro.ogg" ] || [ ! -d "$data/gfx" ]; then
	echo "no demo data in $data, skipping"
	exit 77
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

fps=2
# The dump is written to the working folder: one that looks like the data's.
mkdir "$out/run" && ln -s "$data"/* "$out/run/" && cd "$out/run" || exit 1
"$bin" --bench --fps $fps --size 320x180 --dump-events >/dev/null 2>"$out/err"
status=$?
if [ $status -ne 0 ]; then
	echo "the demo ended with status $status:"
	tail -5 "$out/err"
	exit 1
fi

# name, beat, kind: s = the script's one-shot, p = the script's "has passed",
# e = an effect's own (fires only while its effect draws), n = never fires
# (its effect stops drawing before its beat)
table='
phonetex_shot 0 s
phonefly1 0 e
phonefly2 1 e
phonespin1 4.5 e
phonefly3 6.5 e
phonetex_qvdlogo 8 s
startorbitscroller 11 s
phonefly4 20 e
phonetex_mu 32 s
phonefly4-2 34 e
stoporbitscroller-bum 48 p
phonefly5 48 e
phonetex_orange 52 s
stoporbitscroller 53 s
gonetextshow 59 e
phonefly6 64 e
startlacing 80 e
boom3 96 e
phonetex_callscreen 104 s
startlacing2 105 n
phonefly7 110 e
phonefly8 112 e
phonefly9 114 e
phonefly10 127 e
starmover 132 e
tunnel_camdown1 137 e
tunnel_camdown2 150 e
tunnelupmove 156 s
stoptunnel 160 s
bump1 165 s
bump2 170 s
bump3 173 s
tunnel_camup1 176 e
bump4 178 s
stopgear 180 s
tunnel_camup2 192 e
stopfly2 208 s
stopbump 212 s
dodebum 224 e
dodebum2 232.5 e
stopdode 240 s
stopfly3 256 s
stopduce 273 s
stopspacefly 288 s
textbox 300 p
'

# One frame of the recording clock, in beats.
step=$(awk -v f=$fps 'BEGIN { printf "%.4f", 1.5751132 / f }')
fail=0
while read -r name beat kind; do
	[ -n "$name" ] || continue
	added=$(grep -c "^adding event '$name' at time $(printf %.2f "$beat"), spawn 0$" "$out/err")
	other=$(grep -c "^adding event '$name' " "$out/err")
	if [ "$added" -ne 1 ] || [ "$other" -ne 1 ]; then
		echo "'$name': created $other times, $added of them at beat $beat"
		fail=1
	fi
	fired=$(grep "^event '$name' happened! " "$out/err" | awk '{ print $NF }')
	count=$(printf '%s' "$fired" | grep -c .)
	case $kind in
	s)
		if [ "$count" -ne 1 ]; then
			echo "'$name': fired $count times"
			fail=1
		elif ! awk -v b="$fired" -v p="$beat" -v s="$step" 'BEGIN { exit !(b >= p - 0.005 && b < p + s + 0.005) }'; then
			echo "'$name' at $beat fired at beat $fired"
			fail=1
		fi
		;;
	p|n)
		if [ "$count" -ne 0 ]; then
			echo "'$name' should never fire, fired $count times"
			fail=1
		fi
		;;
	e)
		# an effect's event fires while its effect draws, never early
		for b in $fired; do
			if ! awk -v b="$b" -v p="$beat" 'BEGIN { exit !(b >= p - 0.005) }'; then
				echo "'$name' at $beat fired early, at beat $b"
				fail=1
			fi
		done
		;;
	esac
done <<< "$table"

# The dump: every event of the script, sorted by name byte-wise, its beat with
# five decimals.
expected=$(while read -r name beat kind; do
	[ -n "$name" ] && printf '%s %s\n' "$name" "$beat"
done <<< "$table" | LC_ALL=C sort -k1,1 | while read -r name beat; do
	printf "'%s' %.5f\n" "$name" "$beat"
done)
if [ ! -f eventsdump.txt ]; then
	echo "no eventsdump.txt written"
	fail=1
elif [ "$(cat eventsdump.txt)" != "$expected" ]; then
	echo "eventsdump.txt differs from the timeline:"
	diff <(echo "$expected") eventsdump.txt | head -20
	fail=1
fi

# A short run with every name of the timeline in an events file, and one
# typo: only the typo is reported, though the run never gets to most.
{ echo "$expected"; echo "'stoptunel' 150"; } >all.txt
"$bin" --bench --fps $fps --size 32x18 --to 1 --events all.txt >/dev/null 2>"$out/short"
unused=$(grep "was never used$" "$out/short")
if [ "$unused" != "event 'stoptunel' in all.txt was never used" ]; then
	echo "names reported as never used: ${unused:-none}"
	fail=1
fi

total=$(grep -c "^adding event " "$out/err")
if [ "$total" -ne 45 ]; then
	echo "$total events created, the timeline has 45"
	grep "^adding event " "$out/err" | sort
	fail=1
fi
exit $fail
