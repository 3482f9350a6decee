#!/bin/bash
# OpenGL ES 2.0 core: every extension the driver offers is hidden from the
# handheld program but GL_OES_texture_npot (without it Mesa refuses every
# size that is not a power of two, which ES 2.0 core allows for clamped
# textures without mipmaps, the only kind of that size here). 21 moments,
# every 10 s from 10 s, must equal the full driver's frames, with no GL
# error. Then a driver lacking what the program needs (vertex texture
# units, highp in fragment shaders) gets one line and status 1.
# Usage: n9_strict.sh QUINTARO-N9 DATA-DIR WEAK-DRIVER-LIBRARY
set -u
bin=$1
data=$2
weak=$3
out=$(mktemp -d)
. "$(dirname "$0")/n9_lib.sh"
trap n9_cleanup EXIT
need_data
command -v compare >/dev/null || { echo "needs ImageMagick's compare, skipping"; exit 77; }
export QVD_GL_CHECK=1
start_x 854x480

record() {
	(cd "$data" && exec "$bin" --fps 1/10 --from 10 --to 210 --capture "$out/$1") >"$out/$1.out" 2>"$out/err" ||
		fail "$1 driver: $(tail -1 "$out/err")"
	[ "$(ls "$out/$1" | wc -l)" = 21 ] || fail "$1 driver: $(ls "$out/$1" | wc -l) frames, not 21"
}
extensions() {
	sed -n 's/^Extensions : //p' "$out/$1.out" | tr ' ' '\n' | grep '^GL_'
}
record full
hide=$(extensions full | grep -vx GL_OES_texture_npot | sed 's/^/-/')
[ -n "$hide" ] || fail "the driver offers no extension to hide"
MESA_EXTENSION_OVERRIDE=$(echo $hide) record strict
left=$(extensions strict | xargs)
[ "$left" = GL_OES_texture_npot ] || fail "extensions still offered: $left"
for f in $(ls "$out/full"); do
	far=$(compare -metric AE "$out/full/$f" "$out/strict/$f" null: 2>&1)
	[ "$far" = 0 ] || fail "frame $f: $far pixels differ on ES 2.0 core"
done
echo "ES 2.0 core: $(echo $hide | wc -w) extensions hidden, 21 frames the same"

for lack in vertex-textures:GL_MAX_VERTEX_TEXTURE_IMAGE_UNITS fragment-highp:"no highp floats in fragment"; do
	(cd "$data" && QVD_WEAK_DRIVER=${lack%%:*} LD_PRELOAD=$weak \
		ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0" exec "$bin" --capture "$out/weak" --to 0) \
		>/dev/null 2>"$out/err"
	status=$?
	[ $status = 1 ] && grep -q "${lack#*:}" "$out/err" || fail "without ${lack%%:*}: status $status"
done
echo "strict OpenGL ES 2.0: ok"
