#!/bin/bash
# Keep-awake: on a private system bus with a stand-in mode-control
# service that is too busy to answer, 12 seconds from the first request
# it has been asked three times, about five seconds apart (no answer is
# awaited, so the bus does not refuse the repeats of a call still waiting
# for one); with no bus, or one that never answers, the program says
# "bus == NULL" and runs on.
# Usage: n9_wake.sh QUINTARO-N9 DATA-DIR MCE-STANDIN BUS-CONFIG
set -u
bin=$1
data=$2
mce=$3
conf=$4
out=$(mktemp -d)
. "$(dirname "$0")/n9_lib.sh"
trap n9_cleanup EXIT
need_data
command -v dbus-daemon >/dev/null || { echo "needs dbus-daemon, skipping"; exit 77; }

start_x 854x480
dbus-daemon --config-file="$conf" --address="unix:path=$out/bus" --nofork --nopidfile \
	--print-address >"$out/address" 2>"$out/dbus.err" &
pids="$pids $!"
for _ in $(seq 50); do
	[ -s "$out/address" ] && break
	sleep 0.1
done
[ -s "$out/address" ] || fail "dbus-daemon did not start: $(cat "$out/dbus.err")"
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$out/bus"

"$mce" 60 busy >"$out/mce" 2>"$out/mce.err" &
mce_pid=$!
pids="$pids $mce_pid"
for _ in $(seq 50); do
	grep -q '^ready$' "$out/mce" && break
	sleep 0.1
done
grep -q '^ready$' "$out/mce" || fail "stand-in service did not start: $(cat "$out/mce.err")"

start_n9 --nomusic
# Counted from the first request, so a slow start takes none of the 12 s.
for _ in $(seq 600); do
	grep -q '^request ' "$out/mce" && break
	sleep 0.1
done
sleep 11.5
stop_n9
kill "$mce_pid"
wait "$mce_pid"
cat "$out/mce"
grep -q 'bus == NULL' "$out/err" && fail "the program found no bus"
count=$(grep -c '^request ' "$out/mce")
[ "$count" = 3 ] || fail "$count requests in 12 s, expected 3"
# About five seconds apart.
awk '/^request /{ t[n++] = $4 } END {
	for (i = 1; i < n; i++) { d = t[i] - t[i-1]; if (d < 4.5 || d > 5.5) exit 1 } }' "$out/mce" ||
	fail "requests not five seconds apart"

# No bus at all: said once, and the demo runs on.
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$out/nobus"
start_n9 --nomusic
wait_line "^music off" 60
wait_line "^fps: " 10
kill -0 "$n9_pid" 2>/dev/null || fail "died without a bus"
[ "$(grep -c '^bus == NULL$' "$out/err")" = 1 ] || fail "no 'bus == NULL' line"
stop_n9

# A bus that takes the connection and never answers: a second, then the same.
"$mce" 120 silent "$out/silent" >"$out/silent.out" 2>&1 &
pids="$pids $!"
for _ in $(seq 50); do
	grep -q '^ready$' "$out/silent.out" && break
	sleep 0.1
done
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$out/silent"
start_n9 --nomusic
wait_line "^bus == NULL$" 30
wait_line "^fps: " 30
kill -0 "$n9_pid" 2>/dev/null || fail "died on a silent bus"
stop_n9
echo "keep-awake: ok"
