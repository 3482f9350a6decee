#!/bin/bash
# The whole demo on the real-time clock under X, driven by a real X client:
# 'z' prints the time, the statistics line keeps coming, Escape does not end
# the demo, and both 'q' and closing the window end it with status 1, after
# writing the events asked for with --dump-events.
# Usage: demo_keys.sh QUINTARO DATA-DIR CLOSE-HELPER
set -u
bin=$1
data=$2
closer=$3
if [ ! -f "$data/quintaro.ogg" ] || [ ! -d "$data/gfx" ]; then
	echo "no demo data in $data, skipping"
	exit 77
fi
if [ -z "${DISPLAY:-}" ] || ! command -v xdotool >/dev/null; then
	echo "needs an X display and xdotool, skipping"
	exit 77
fi
out=$(mktemp -d)
pid=
cleanup() {
	[ -n "$pid" ] && kill "$pid" 2>/dev/null
	rm -rf "$out"
}
trap cleanup EXIT
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null
# The dump is written to the working folder: one that looks like the data's.
mkdir "$out/run" && ln -s "$data"/* "$out/run/" && cd "$out/run" || exit 1

fail() {
	echo "$*"
	tail -5 "$out/err"
	exit 1
}

# Starts the demo and waits for its timeline. A virtual display that is
# resetting after its last client left refuses connections for a moment,
# which stops SDL from starting; that alone is retried.
start() {
	for _ in $(seq 10); do
		: >"$out/err"
		"$bin" --size 320x180 "$@" >/dev/null 2>"$out/err" &
		pid=$!
		for _ in $(seq 600); do
			grep -q "^event 'phonetex_shot' happened! " "$out/err" && break 2
			kill -0 "$pid" 2>/dev/null || break
			sleep 0.1
		done
		kill -0 "$pid" 2>/dev/null && fail "the timeline did not start within a minute"
		wait "$pid"
		pid=
		grep -q "check failed: res == 0" "$out/err" || fail "the demo ended while loading"
		sleep 0.5
	done
	[ -n "$pid" ] || fail "SDL could not start"
	win=$(timeout 20 xdotool search --sync --name '^QVD Demobase$' | head -1)
	[ -n "$win" ] || fail "no window named 'QVD Demobase'"
}

# Waits until at least N lines match PATTERN (default 1); the demo must
# still be running meanwhile.
wait_for() {
	local n=${2:-1}
	for _ in $(seq 600); do
		[ "$(grep -Ec "$1" "$out/err")" -ge "$n" ] && return 0
		kill -0 "$pid" 2>/dev/null || fail "the demo ended while waiting for '$1'"
		sleep 0.1
	done
	fail "no '$1' within a minute"
}

# Waits for the demo to end and checks its status.
expect_end() {
	for _ in $(seq 200); do
		kill -0 "$pid" 2>/dev/null || break
		sleep 0.1
	done
	kill -0 "$pid" 2>/dev/null && fail "the demo is still running after $1"
	wait "$pid"
	local status=$?
	pid=
	[ $status -eq 1 ] || fail "$1 ended the demo with status $status, not 1"
}

press() {
	# sent to the window itself: other programs on the display may hold the focus
	xdotool key --window "$win" "$1" || fail "xdotool could not press $1"
}

# Held keys are read from SDL's key state, which only real key events set:
# focus the window and type through the X test extension.
hold() {
	xdotool windowfocus --sync "$win" || fail "xdotool could not focus the window"
	xdotool keydown "$1" && sleep 0.3 && xdotool keyup "$1" || fail "xdotool could not hold $1"
}

# A real pointer click over the window: SDL ignores clicks sent to a window.
click() {
	xdotool mousemove --window "$win" 100 100 click "$1" || fail "xdotool could not click button $1"
}

stats='^fps: [0-9]+\.[0-9]{2} \([0-9]+\) logic: [0-9]+\.[0-9]{2} \([0-9]+\) time: [0-9]+\.[0-9]{2} beat: *-?[0-9]+$'

start
press z
wait_for '^timeval: '
line=$(grep '^timeval: ' "$out/err" | head -1)
echo "$line" | grep -Eq '^timeval: [0-9]+\.[0-9]{3} beatgrid: -?[0-9]+\.[0-9]{3}$' \
	|| fail "bad time line: '$line'"
echo "$line" | awk '{ exit !(($4 - ($2 - 0.128) * 1.5751132)^2 < 0.002^2) }' \
	|| fail "beat grid position does not match the time: '$line'"

wait_for "$stats" 2
press Escape
seen=$(grep -Ec "$stats" "$out/err")
wait_for "$stats" $((seen + 2))
kill -0 "$pid" 2>/dev/null || fail "Escape ended the demo"
grep -Ev "$stats" "$out/err" | grep -q '^fps:' && fail "malformed statistics line"

# The phone's debug controls: the wheel nudges its distance; space and a
# held mouse button step its flight state once per press.
click 4
wait_for '^zpos: -35\.700$'
click 5
wait_for '^zpos: -35\.710$'
hold space
wait_for '^state is now: [0-9]+$'
xdotool mousemove --window "$win" 100 100 mousedown 1 && sleep 0.3 && xdotool mouseup 1 \
	|| fail "xdotool could not hold button 1"
wait_for '^state is now: [0-9]+$' 2
press q
expect_end "'q'"

# The balls' debug keys, in the finale.
start --skip 185 --dump-events
wait_for "^event 'stopspacefly' happened! "
for key in 1 2 3 4; do
	hold "$key"
done
wait_for '^ns: [0-9]+\.[0-9]{2}, gf: -?[0-9]+\.[0-9]{2}$'
kill -0 "$pid" 2>/dev/null || fail "the finale ended"
press q
expect_end "'q' in the finale"
grep -qx "'stopspacefly' 288.00000" eventsdump.txt || fail "'q' did not dump the events"
rm eventsdump.txt

start --dump-events
"$closer" "$win" || fail "could not ask the window to close"
expect_end "closing the window"
grep -qx "'phonetex_shot' 0.00000" eventsdump.txt || fail "closing the window did not dump the events"
exit 0
