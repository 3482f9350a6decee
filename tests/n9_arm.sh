#!/bin/bash
# The handheld program for ARM, built by tools/cross.sh: under qemu the
# engine's tests pass and 8 moments (140 to 168 s) equal the native program's,
# both on softpipe (llvmpipe's armhf code draws wrongly under qemu).
# Usage: n9_arm.sh ARCH SOURCE-DIR QUINTARO-N9 DATA-DIR
set -u
arch=$1 src=$2 native=$3 data=$4 out=$(mktemp -d)
. "$(dirname "$0")/n9_lib.sh"
trap n9_cleanup EXIT
need_data
[ $arch = armhf ] && tools="arm-linux-gnueabihf-g++ qemu-arm-static" || tools="aarch64-linux-gnu-g++ qemu-aarch64-static"
for tool in $tools; do
	command -v $tool >/dev/null || { echo "needs $tool (tools/setup.sh installs it), skipping"; exit 77; }
done
arm=$src/build-cross/$arch
"$src/tools/cross.sh" $arch --target quintaro-n9 engine_test engine_gl_test >"$out/err" 2>&1 || fail "cross build"
export GALLIUM_DRIVER=softpipe QVD_GL_CHECK=1 GTEST_DEATH_TEST_STYLE=fast
start_x 854x480
# Death tests fork without exec; the kill ends loops 32-bit code never leaves.
for t in engine_test engine_gl_test; do
	timeout -s KILL 300 "$arm/run" "$arm/build/tests/$t" >"$out/err" 2>&1 || fail "$t under emulation"
done
for run in native:"$native" $arch:"$arm/run $arm/build/quintaro-n9"; do
	(cd "$data" && exec ${run#*:} --skip 140 --fps 1/4 --from 140 --to 168 --capture "$out/${run%%:*}") \
		>/dev/null 2>"$out/err" || fail "${run%%:*} recording"
done
[ "$(ls "$out/$arch" | wc -l)" = 8 ] || fail "$arch wrote $(ls "$out/$arch" | wc -l) frames, not 8"
for f in $(ls "$out/native"); do
	[ "$(compare -metric AE "$out/native/$f" "$out/$arch/$f" null: 2>&1)" = 0 ] || fail "frame $f differs on $arch"
done
echo "$arch under emulation: ok"
