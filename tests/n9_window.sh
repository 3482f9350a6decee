#!/bin/bash
# The handheld program links OpenGL ES and no desktop GL, opens its ES 2
# context with the start-up lines in order, and types its full-screen
# window for the compositor: a dialog for the first two seconds, then a
# normal window; at once after the first frame when started past 2 s;
# and it runs on where no window manager has named the property.
# Usage: n9_window.sh QUINTARO-N9 DATA-DIR
set -u
bin=$1
data=$2
out=$(mktemp -d)
. "$(dirname "$0")/n9_lib.sh"
trap n9_cleanup EXIT
need_data

libs=$(ldd "$bin")
echo "$libs" | grep -q 'libEGL\.so' || fail "not linked with libEGL"
echo "$libs" | grep -q 'libGLESv2\.so' || fail "not linked with libGLESv2"
echo "$libs" | grep -q 'libGL\.so' && fail "linked with desktop libGL"
echo "$libs" | grep -q 'libGLEW' && fail "linked with GLEW"
echo "$libs" | grep -q 'libdbus-1\.so' || fail "not linked with libdbus-1"
echo "$libs" | grep -q 'libX11\.so' || fail "not linked with Xlib"

# Polls the window's type for up to $1 tenths of a second.
normal_within() {
	for _ in $(seq "$1"); do
		type=$(window_type "$win")
		[ "$type" = "_NET_WM_WINDOW_TYPE_NORMAL" ] && return 0
		sleep 0.1
	done
	return 1
}

start_x 854x480
# A compositor creates the property's name; here we do.
xprop -root -f _NET_WM_WINDOW_TYPE 32a -set _NET_WM_WINDOW_TYPE _NET_WM_WINDOW_TYPE_DESKTOP

start_n9 --nomusic
wait_line "our wmwindow id" 30
win=$(fswindow)
[ -n "$win" ] || fail "no fswindow id line"
# The start-up lines, in this order.
order=$(grep -n -e '^initting GLES$' -e '^setting the hildon atom$' -e '^major version: 2$' \
	-e '^our window id: ' -e '^our fswindow id: ' -e '^our wmwindow id: ' "$out/err" | cut -d: -f2- |
	sed 's/ id: .*//' | head -6 | tr '\n' '|')
[ "$order" = "initting GLES|setting the hildon atom|major version: 2|our window|our fswindow|our wmwindow|" ] ||
	fail "start-up lines out of order: $order"
type=$(window_type "$win")
[ "$type" = "_NET_WM_WINDOW_TYPE_DIALOG" ] || fail "window type at start is '$type'"
# The clock starts with the music, after loading; until 2 s it stays a dialog.
wait_line "^music off" 60
sleep 0.5
type=$(window_type "$win")
[ "$type" = "_NET_WM_WINDOW_TYPE_DIALOG" ] || fail "window type at 0.5 s is '$type'"
normal_within 100 || fail "window type after 2 s is '$type'"
kill -0 "$n9_pid" 2>/dev/null || fail "the program died"
stop_n9

# Started 30 s in, the first frame already makes it normal.
start_n9 --nomusic --skip 30
wait_line "our wmwindow id" 30
win=$(fswindow)
wait_line "^music off" 60
normal_within 20 || fail "with --skip 30 the window type is '$type' after the first frames"
[ "$(grep -c '^setting the hildon atom$' "$out/err")" = 2 ] || fail "the type was not set exactly twice"
stop_n9

# No window manager, no property name: nothing to set, and no BadAtom.
start_x 854x480
start_n9 --nomusic
wait_line "^music off" 60
wait_line "^fps: " 10
sleep 2.5
kill -0 "$n9_pid" 2>/dev/null || fail "died without the property name"
win=$(fswindow)
[ -z "$(window_type "$win")" ] || fail "a window type was set where no one named it"
stop_n9
echo "window type: ok"
