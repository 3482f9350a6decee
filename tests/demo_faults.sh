#!/bin/bash
# Every data file of the demo in turn missing, empty, cut in half,
# replaced by random bytes and by a FIFO (which would block an open for
# good): each run stops with status 1 and a last line that names the file,
# and never crashes or hangs. The music is the exception: the demo plays
# on without it, so a damaged music file must still give a running demo.
# Usage: demo_faults.sh QUINTARO DATA-DIR [all|one]
# "one" gives each file one of the five faults in turn (the sanitizer
# build, where each start-up is slower).
set -u
bin=$(realpath "$1")
data=$(realpath "$2")
if [ ! -f "$data/quintaro.ogg" ] || [ ! -d "$data/gfx" ]; then
	echo "no demo data in $data, skipping"
	exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A copy of the data set made of links, with one file damaged.
damage() {
	local file=$1 how=$2 dir=$3
	mkdir -p "$dir/gfx"
	for f in "$data"/*.obj "$data"/*.ogg "$data"/gfx/*; do
		ln -s "$f" "$dir/${f#"$data"/}"
	done
	rm "$dir/$file"
	case $how in
	missing) ;;
	empty) : >"$dir/$file" ;;
	half) head -c $(($(stat -c %s "$data/$file") / 2)) "$data/$file" >"$dir/$file" ;;
	random) head -c "$(stat -c %s "$data/$file")" /dev/urandom >"$dir/$file" ;;
	fifo) mkfifo "$dir/$file" ;;
	esac
}

crashed() {
	grep -qE "check failed|AddressSanitizer|runtime error|LeakSanitizer" "$1"
}

# One case: prints a line on failure.
run_case() {
	local file=$1 how=$2
	local dir="$work/$how-${file//\//_}"
	damage "$file" "$how" "$dir"
	(cd "$dir" && timeout 120 "$bin" --bench --to 0 --size 32x18 >/dev/null 2>err)
	local status=$? last
	# the 2 s statistics line may come after the message
	last=$(grep -v "^fps: " "$dir/err" | tail -n 1)
	if [ $status -ne 1 ] || crashed "$dir/err" || [[ $last != *"$file"* ]]; then
		echo "$file $how: status $status, last line: $last"
		return 1
	fi
	rm -rf "$dir"
}
export -f damage crashed run_case
export bin data work

files=$(cd "$data" && ls *.obj gfx/*)
kinds=(missing empty half random fifo)
n=0
cases=$(for f in $files; do
	for how in "${kinds[@]}"; do
		if [ "${3:-all}" = all ] || [ "$how" = "${kinds[n % 5]}" ]; then
			echo "$f $how"
		fi
	done
	n=$((n + 1))
done)
fail=0
# Two at a time: each run is a short start-up, most of it waiting on loads.
echo "$cases" | xargs -P 2 -L 1 bash -c 'run_case "$0" "$1"' || fail=1
echo "$(echo "$cases" | wc -l) damaged data sets tried"

# The music: a real-time run that must still be drawing frames after 5 s.
for how in missing empty half random fifo; do
	dir="$work/$how-music"
	damage quintaro.ogg "$how" "$dir"
	# Ended by a signal, the demo quits SDL, which unloads the GL driver: its
	# leftovers would show as leaks of unknown origin.
	(cd "$dir" && SDL_AUDIODRIVER=dummy ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" timeout 5 "$bin" \
		--size 32x18 >/dev/null 2>err; echo $? >status) &
done
wait
for how in missing empty half random fifo; do
	dir="$work/$how-music"
	status=$(cat "$dir/status")
	if [ "$status" -ne 124 ] || crashed "$dir/err" || ! grep -q "^fps: " "$dir/err"; then
		echo "quintaro.ogg $how: status $status (124 = still running after 5 s)"
		tail -n 3 "$dir/err"
		fail=1
	fi
done
# A video recorded with damaged music is silent, not a failed recording.
if command -v ffmpeg >/dev/null; then
	dir="$work/random-music"
	if ! (cd "$dir" && "$bin" --capture v.mp4 --to 0.1 --size 32x18 >/dev/null 2>verr) || [ ! -s "$dir/v.mp4" ]; then
		echo "a video with damaged music failed:"
		tail -2 "$dir/verr"
		fail=1
	fi
fi
exit $fail
