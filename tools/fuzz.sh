#!/bin/sh
# Builds the libFuzzer targets with clang in build-fuzz and runs each, one
# after the other, for SECONDS (default 600), seeded from the generated data.
# New inputs gather in build-fuzz/corpus/TARGET, faults in build-fuzz/crashes.
# Usage: tools/fuzz.sh [SECONDS] [TARGET...]   (targets: model atlas options picture events)
set -e
cd "$(dirname "$0")/.."
./tools/setup.sh
seconds=${1:-600}
[ $# -gt 0 ] && shift
targets=${*:-model atlas options picture events}

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	-DQVD_FUZZ=ON -DQVD_TESTS=OFF -DQVD_DATA=OFF >/dev/null
for t in $targets; do
	cmake --build build-fuzz --target "fuzz_$t" -j2
done

# Seeds: the demo's own models, atlases and smaller pictures, and a few
# command lines (arguments split by zero bytes).
if [ ! -f build/data/.assetgen.stamp ]; then
	cmake -S . -B build >/dev/null
	cmake --build build --target data -j2
fi
seeds=build-fuzz/seeds
rm -rf "$seeds"
mkdir -p "$seeds/model" "$seeds/atlas" "$seeds/picture" "$seeds/options" "$seeds/events"
cp build/data/*.obj "$seeds/model/"
cp build/data/gfx/*.txt "$seeds/atlas/" 2>/dev/null || true
printf 'a 10 20 30 40\nab 1 1 1 1\nglyph_x 0.5 0.25 8 16\nname\n' >"$seeds/atlas/rects"
printf 'gfx/a.png\ngfx/b.png\ngfx/c.png\ngfx/d.png\ngfx/e.png\ngfx/f.png\n' >"$seeds/atlas/cube"
# Small copies decode fast; a few whole ones keep the real encoders' layout.
for p in build/data/gfx/*.png build/data/gfx/*.jpg; do
	convert "$p" -resize 24x24 "$seeds/picture/small-$(basename "$p")"
done
find build/data/gfx \( -name '*.png' -o -name '*.jpg' \) -size -20k -exec cp {} "$seeds/picture/" \;
i=0
for line in "--skip 30 --nomusic" "--capture out.mp4 --fps 60000/1001 --blur 4 --from 10 --to 20.5" \
	"--bench --to 1e9" "--size 640x360 --fs --720p" "--skip --fs" "--capture --bench"; do
	printf '%s' "$line" | tr ' ' '\0' >"$seeds/options/$i"
	i=$((i + 1))
done
for t in model atlas picture options events; do
	cp tests/fuzz/cases/$t/* "$seeds/$t/" 2>/dev/null || true
done

status=0
for t in $targets; do
	mkdir -p "build-fuzz/corpus/$t" "build-fuzz/crashes/$t"
	# Short inputs mutate fast; each still holds many lines or a whole small picture.
	case $t in
	model) max_len=8192 ;;
	atlas | events) max_len=4096 ;;
	options) max_len=512 ;;
	*) max_len=65536 ;;
	esac
	echo "fuzzing $t for $seconds s"
	# The loaders print a line per input: stderr stays closed, the fuzzer's
	# own lines and fault reports still come through.
	if ! "build-fuzz/tests/fuzz/fuzz_$t" -max_total_time="$seconds" -max_len=$max_len -rss_limit_mb=2048 -timeout=10 \
		-close_fd_mask=2 -print_final_stats=1 -artifact_prefix="build-fuzz/crashes/$t/" \
		"build-fuzz/corpus/$t" "$seeds/$t" 2>"build-fuzz/$t.log"; then
		echo "fuzz_$t found a fault:"
		status=1
	fi
	grep -E "^(stat::|Done|==[0-9]+==ERROR|SUMMARY|artifact_prefix|Test unit written)" "build-fuzz/$t.log" || true
done
exit $status
