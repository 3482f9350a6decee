# Shared by the handheld program's tests: a private X server of the
# handheld's size (or another) and the program's start under it.
# Sourcing scripts set bin, data and out (a temporary folder) first.

# Mesa answers a request for ES 2 with ES 3.2; this makes it a real 2.0
# context, so no ES 3 convenience slips in unnoticed.
export MESA_GLES_VERSION_OVERRIDE=2.0
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null
xvfb_pid=
pids=
n9_pid=

n9_cleanup() {
	for p in $pids; do
		kill "$p" 2>/dev/null
	done
	[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
	rm -rf "$out"
}

fail() {
	echo "FAIL: $*"
	[ -f "$out/err" ] && tail -5 "$out/err"
	exit 1
}

need_data() {
	if [ ! -f "$data/quintaro.ogg" ] || [ ! -d "$data/gfx" ]; then
		echo "no demo data in $data, skipping"
		exit 77
	fi
	if ! command -v Xvfb >/dev/null || ! command -v xprop >/dev/null; then
		echo "needs Xvfb and xprop, skipping"
		exit 77
	fi
}

# Starts Xvfb with one screen of the given size (and depth, 24 if none
# is given) on a free display number; with a third argument "resets" it
# resets whenever its last client leaves, as under xvfb-run.
start_x() {
	[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
	exec 5>"$out/display"
	local keep=-noreset
	[ "${3:-}" = resets ] && keep=
	Xvfb -displayfd 5 -screen 0 "$1x${2:-24}" $keep -nolisten tcp >/dev/null 2>&1 &
	xvfb_pid=$!
	exec 5>&-
	for _ in $(seq 100); do
		[ -s "$out/display" ] && break
		sleep 0.1
	done
	[ -s "$out/display" ] || fail "Xvfb did not start"
	export DISPLAY=":$(head -1 "$out/display")"
}

# Waits up to $2 seconds for a line matching $1 in the program's stderr.
wait_line() {
	for _ in $(seq $(($2 * 10))); do
		grep -q -- "$1" "$out/err" && return 0
		kill -0 "$n9_pid" 2>/dev/null || fail "the program ended before '$1'"
		sleep 0.1
	done
	fail "no line '$1' within $2 s"
}

# Starts the program in the background (arguments go on to it).
start_n9() {
	: >"$out/err"
	(cd "$data" && exec "$bin" "$@") >/dev/null 2>"$out/err" &
	n9_pid=$!
	pids="$pids $n9_pid"
}

stop_n9() {
	kill "$n9_pid" 2>/dev/null
	wait "$n9_pid" 2>/dev/null
}

# The _NET_WM_WINDOW_TYPE of a window, e.g. _NET_WM_WINDOW_TYPE_DIALOG.
window_type() {
	xprop -id "$1" _NET_WM_WINDOW_TYPE 2>/dev/null | sed -n 's/.*= //p'
}

fswindow() {
	sed -n 's/^our fswindow id: \([0-9A-F]*\)$/0x\1/p' "$out/err" | head -1
}
