#!/bin/bash
# The demo's web page, built from the same sources with emscripten and
# driven in headless Chromium.
#   web_test.sh build SRC BUILD          build the page into BUILD/web/page
#   web_test.sh play SRC BUILD           gate, music against clock, logic rate
#   web_test.sh frame SRC BUILD QUINTARO T MAX-MEAN MAX-FAR-PERCENT
#       the page's frame after --seek T against the desktop's
# Skips (77) where emscripten or Chromium is missing, and in a sanitizer build.
set -u
what=$1
src=$2
build=$3
web=$build/web
data=$build/data

if [ "${QVD_SANITIZE:-OFF}" = ON ]; then
	echo "the web page is tested in the normal build only, skipping"
	exit 77
fi
for tool in emcmake emcc node npm /usr/bin/chromium compare; do
	if ! command -v "$tool" >/dev/null; then
		echo "no $tool on this machine (tools/setup.sh installs it), skipping"
		exit 77
	fi
done
if [ ! -f "$data/quintaro.ogg" ] || [ ! -d "$data/gfx" ]; then
	echo "no demo data in $data, skipping"
	exit 77
fi
# Debian's emscripten and its tools on the machine's node.
export NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"

build_page() {
	emcmake cmake -S "$src" -B "$web" -DCMAKE_BUILD_TYPE=Release -DQVD_WEB_DATA="$data" >"$web.log" 2>&1 &&
		cmake --build "$web" -j2 >>"$web.log" 2>&1
	local status=$?
	if [ $status -ne 0 ]; then
		echo "the web build failed:"
		tail -20 "$web.log"
		return 1
	fi
	# puppeteer-core from the lock file; it drives the system's Chromium.
	local driver=$web/driver
	mkdir -p "$driver"
	cp "$src/tests/web/package.json" "$src/tests/web/package-lock.json" "$src/tests/web/page_test.mjs" "$driver/"
	if ! cmp -s "$driver/package-lock.json" "$driver/node_modules/.package-lock.json.used"; then
		(cd "$driver" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error) || return 1
		cp "$driver/package-lock.json" "$driver/node_modules/.package-lock.json.used"
	fi
	ls -l "$web/page"
}

page_test() {
	if [ ! -f "$web/page/quintaro.wasm" ] || [ ! -d "$web/driver/node_modules" ]; then
		echo "no web page in $web/page: the web_build test failed"
		return 1
	fi
	cp "$src/tests/web/page_test.mjs" "$web/driver/"
	node --no-experimental-fetch "$web/driver/page_test.mjs" "$@"
}

# Compares the page's frame after a seek to T with the desktop program's.
frame_test() {
	local bin=$1 to=$2 max_mae=$3 max_far=$4
	local out=$build/web-frames
	mkdir -p "$out"
	local tmp
	tmp=$(mktemp -d)
	(cd "$data" && "$bin" --capture "$tmp" --seek "$to" --from "$to" --to "$to" >/dev/null 2>"$tmp/err")
	local shot
	shot=$(ls "$tmp"/*.png 2>/dev/null | head -1)
	if [ -z "$shot" ]; then
		echo "the desktop program wrote no frame at $to s:"
		tail -5 "$tmp/err"
		rm -rf "$tmp"
		return 1
	fi
	cp "$shot" "$out/desktop-$to.png"
	rm -rf "$tmp"
	page_test frame "$web/page" "$to" "$out/web-$to.png" || return 1
	compare_frames "$out/desktop-$to.png" "$out/web-$to.png" "$out/diff-$to.png" "$max_mae" "$max_far"
}

# Mean absolute difference per channel (0-255), the share of pixels that
# differ by more than a tenth, and the mean brightness: each within bounds.
compare_frames() {
	local a=$1 b=$2 diff=$3 max_mae=$4 max_far=$5
	local size
	size=$(identify -format '%wx%h' "$b")
	if [ "$size" != "$(identify -format '%wx%h' "$a")" ]; then
		echo "the page's frame is $size, the desktop's $(identify -format '%wx%h' "$a")"
		return 1
	fi
	local mae far pixels la lb
	mae=$(compare -metric MAE "$a" "$b" "$diff" 2>&1 | sed 's/.*(\(.*\)).*/\1/')
	far=$(compare -metric AE -fuzz 10% "$a" "$b" null: 2>&1)
	pixels=$(identify -format '%[fx:w*h]' "$a")
	la=$(identify -format '%[fx:mean]' "$a")
	lb=$(identify -format '%[fx:mean]' "$b")
	awk -v mae="$mae" -v far="$far" -v n="$pixels" -v la="$la" -v lb="$lb" -v mm="$max_mae" -v mf="$max_far" 'BEGIN {
		printf "per-frame difference: mean %.2f of 255 per channel, %.2f%% of pixels off by more than 10%%; brightness %.3f (desktop) and %.3f (page)\n", mae * 255, 100 * far / n, la, lb
		exit !(mae * 255 <= mm && 100 * far / n <= mf && lb >= 0.8 * la && lb <= 1.25 * la)
	}' || { echo "the frames differ too much (allowed: mean $max_mae, $max_far% of pixels)"; return 1; }
}

case $what in
build) build_page ;;
play) page_test play "$web/page" 40 30 ;;
frame) frame_test "$4" "$5" "$6" "$7" ;;
*) echo "unknown step $what"; exit 2 ;;
esac
