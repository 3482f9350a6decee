#!/bin/bash
# The whole programs in hostile surroundings:
# - SIGTERM during loading and SIGINT mid-demo end the run as a closed
#   window does, end-of-run reports included; a fault signal ends it by
#   that signal, with no shut-down from inside the handler;
# - a watched events file swapped for a FIFO keeps the positions in use;
# - on an X screen of each depth either program runs or refuses in one line.
# Usage: demo_hostile.sh QUINTARO QUINTARO-N9 DATA-DIR [all|some]
# "some" tries two depths (the sanitizer build, where each start is slower).
set -u
bin=$(realpath "$1")
n9=$(realpath "$2")
data=$(realpath "$3")
if [ ! -f "$data/quintaro.ogg" ] || [ ! -d "$data/gfx" ] || ! command -v Xvfb >/dev/null; then
	echo "no demo data in $data or no Xvfb, skipping"
	exit 77
fi
out=$(mktemp -d)
. "$(dirname "$0")/n9_lib.sh"
trap n9_cleanup EXIT
mkdir "$out/run" && ln -s "$data"/* "$out/run/" && cd "$out/run" || exit 1
# Quitting shuts SDL down, which unloads the GL driver: its leftovers would
# show as leaks of unknown origin.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$out/nobus"
failed=0
problem() {
	echo "$*"
	tail -n 3 err
	failed=1
}

# Runs the desktop program with ARGS, sends SIGNAL once LINE shows on its
# standard error, and sets status to how it ended (killed after 60 s).
signal_at() {
	local line=$1 sig=$2
	shift 2
	rm -f eventsdump.txt
	: >err
	"$bin" "$@" >/dev/null 2>err &
	local pid=$! i
	for i in $(seq 1200); do
		grep -q -- "$line" err && break
		kill -0 $pid 2>/dev/null || break
		sleep 0.05
	done
	kill -"$sig" $pid
	for i in $(seq 600); do
		kill -0 $pid 2>/dev/null || break
		sleep 0.1
	done
	kill -KILL $pid 2>/dev/null
	wait $pid
	status=$?
}

# The city's model loads a third of the way in; the credits' pictures,
# near the end, are not loaded any more.
signal_at "^loading city08.obj" TERM --nomusic --size 64x36 --dump-events
if [ $status -ne 1 ] || ! grep -q "^signal 15 (Terminated): quitting$" err || [ ! -f eventsdump.txt ] ||
	grep -q "gfx/credits.jpg" err; then
	problem "SIGTERM while loading: status $status"
fi
signal_at "^event 'phonefly2' happened" INT --nomusic --size 64x36 --dump-events
if [ $status -ne 1 ] || ! grep -q "^signal 2 (Interrupt): quitting$" err || [ ! -f eventsdump.txt ]; then
	problem "SIGINT mid-demo: status $status"
fi
signal_at "^event 'phonefly2' happened" TERM --bench --fps 5 --size 64x36
[ $status -eq 1 ] || problem "SIGTERM mid-recording: status $status"
# A fault ends the process by its signal (139 = 128 + SIGSEGV).
ASAN_OPTIONS="$ASAN_OPTIONS:handle_segv=0" signal_at "^event 'phonefly2' happened" SEGV --nomusic --size 64x36
[ $status -eq 139 ] || problem "SIGSEGV mid-demo: status $status, not ended by the signal"

# The watched file becomes a FIFO while the demo plays.
echo "'bump1' 165" >ev.txt
: >err
"$bin" --events ev.txt --watch --nomusic --size 64x36 >/dev/null 2>err &
pid=$!
for i in $(seq 600); do
	grep -q "^fps: " err && break
	sleep 0.1
done
rm ev.txt && mkfifo ev.txt
for i in $(seq 100); do
	grep -q "^keeping the positions in use until ev.txt is mended$" err && break
	sleep 0.1
done
grep -q "^ev.txt: can't read: not a regular file$" err && kill -0 $pid 2>/dev/null ||
	problem "a watched file swapped for a FIFO"
kill $pid
wait $pid

# X screens of every depth, without a window manager, each resetting when
# its last client leaves (as under xvfb-run).
depths="8 15 16 24 30"
[ "${4:-all}" = all ] || depths="8 24"
for depth in $depths; do
	start_x 854x480 "$depth" resets
	for prog in "$bin" "$n9"; do
		timeout 300 "$prog" --bench --to 0.1 --size 64x36 >/dev/null 2>err
		status=$?
		last=$(grep -v "^fps: " err | tail -n 1)
		echo "$(basename "$prog") on a $depth-bit screen: status $status, $last"
		if grep -qE "check failed|Sanitizer|runtime error" err ||
			! { [ $status -eq 0 ] || { [ $status -eq 1 ] &&
				[[ $last =~ ^no\ OpenGL( ES 2)?\ visual\ on\ this\ $depth-bit\ screen ]]; }; }; then
			problem "$(basename "$prog") on a $depth-bit screen"
		fi
	done
done
exit $failed
