#!/bin/bash
# The handheld program for 32-bit ARM: tools/cross.sh builds it and the
# engine's logic tests from the same sources against Debian's armhf
# packages. Under qemu the tests pass, and the program's frames every 4 s
# from 140 to 168 s (the polyhedron, the city, the lines) equal the native
# program's. Both draw on Mesa's softpipe: llvmpipe's ARM code draws
# wrongly under qemu, whatever the program.
# Usage: n9_armhf.sh SOURCE-DIR QUINTARO-N9 DATA-DIR
set -u
src=$1
native=$2
data=$3
out=$(mktemp -d)
. "$(dirname "$0")/n9_lib.sh"
trap n9_cleanup EXIT
need_data
for tool in arm-linux-gnueabihf-g++ qemu-arm-static compare; do
	command -v $tool >/dev/null || { echo "needs $tool (tools/setup.sh installs it), skipping"; exit 77; }
done
arm=$src/build-cross/armhf
"$src/tools/cross.sh" armhf --target quintaro-n9 test_engine >"$out/err" 2>&1 || fail "cross build"
# Death tests fork without exec: qemu cannot exec an ARM program again.
GTEST_DEATH_TEST_STYLE=fast "$arm/run" "$arm/build/tests/test_engine" >"$out/err" 2>&1 ||
	fail "logic tests under emulation"

export GALLIUM_DRIVER=softpipe QVD_GL_CHECK=1
start_x 854x480
for run in native:"$native" armhf:"$arm/run $arm/build/quintaro-n9"; do
	(cd "$data" && exec ${run#*:} --skip 140 --fps 1/4 --from 140 --to 168 --capture "$out/${run%%:*}") \
		>/dev/null 2>"$out/err" || fail "${run%%:*} recording"
done
[ "$(ls "$out/armhf" | wc -l)" = 8 ] || fail "armhf wrote $(ls "$out/armhf" | wc -l) frames, not 8"
for f in $(ls "$out/native"); do
	far=$(compare -metric AE "$out/native/$f" "$out/armhf/$f" null: 2>&1)
	[ "$far" = 0 ] || fail "frame $f: $far pixels differ on armhf"
done
echo "armhf under emulation: ok"
