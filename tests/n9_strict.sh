#!/bin/bash
# ES 2.0 core: with every extension hidden but GL_OES_texture_npot (Mesa then
# refuses sizes core allows), 21 moments equal the full driver's, with no GL
# error; a driver without vertex texture units gets one line and status 1.
# Usage: n9_strict.sh QUINTARO-N9 DATA-DIR WEAK-DRIVER-LIBRARY
set -u
bin=$1 data=$2 weak=$3 out=$(mktemp -d)
. "$(dirname "$0")/n9_lib.sh"
trap n9_cleanup EXIT
need_data
export QVD_GL_CHECK=1
start_x 854x480
record() {
	(cd "$data" && exec "$bin" --fps 1/10 --from 10 --to 210 --capture "$out/$1") >"$out/$1.out" 2>"$out/err" &&
		[ "$(ls "$out/$1" | wc -l)" = 21 ] || fail "$1 driver"
}
offered() { sed -n 's/^Extensions : //p' "$out/$1.out" | tr ' ' '\n' | grep '^GL_' | grep -vx GL_OES_texture_npot; }
record full
hide=$(offered full | sed 's/^/-/')
[ -n "$hide" ] && MESA_EXTENSION_OVERRIDE=$(echo $hide) record strict
[ -z "$(offered strict)" ] || fail "extensions still offered: $(offered strict | xargs)"
for f in $(ls "$out/full"); do
	[ "$(compare -metric AE "$out/full/$f" "$out/strict/$f" null: 2>&1)" = 0 ] || fail "frame $f differs on ES 2.0 core"
done
(cd "$data" && LD_PRELOAD=$weak ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0" \
	exec "$bin" --capture "$out/weak" --to 0) >/dev/null 2>"$out/err"
[ $? = 1 ] && grep -q GL_MAX_VERTEX_TEXTURE_IMAGE_UNITS "$out/err" || fail "without vertex texture units"
echo "strict OpenGL ES 2.0: $(echo $hide | wc -w) extensions hidden, ok"
