#!/bin/bash
# Both programs play the whole demo on the recording clock at 5 frames a
# second, every effect drawing in every frame of its stage: in the
# sanitizer build any bad access or undefined behaviour ends the run.
# Usage: demo_whole.sh QUINTARO QUINTARO-N9 DATA-DIR
set -u
bin=$(realpath "$1")
n9=$(realpath "$2")
data=$3
if [ ! -f "$data/quintaro.ogg" ] || [ ! -d "$data/gfx" ] || ! command -v xvfb-run >/dev/null; then
	echo "no demo data in $data or no xvfb-run, skipping"
	exit 77
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cd "$data" || exit 1
fail=0
"$bin" --bench --fps 5 >/dev/null 2>"$out/desktop" &
desktop=$!
# The handheld program fills its display: one of the handheld's size.
MESA_GLES_VERSION_OVERRIDE=2.0 DBUS_SYSTEM_BUS_ADDRESS="unix:path=$out/nobus" \
	xvfb-run -a -s "-screen 0 854x480x24 -nolisten tcp" "$n9" --bench --fps 5 >/dev/null 2>"$out/handheld"
n9_status=$?
wait $desktop
status=$?
for run in "desktop $status" "handheld $n9_status"; do
	set -- $run
	if [ "$2" -ne 0 ] || ! grep -q "^bench total" "$out/$1"; then
		echo "the $1 program ended with status $2:"
		grep -v "^fps: " "$out/$1" | tail -n 5
		fail=1
	else
		echo "$1: $(grep "^bench total" "$out/$1")"
	fi
done
exit $fail
