#!/bin/sh
# Builds the demo for 32-bit ARM (armhf, the default) or arm64 from the same
# sources: the handheld and desktop programs and the engine's tests that
# need no GL, in build-cross/ARCH/build. The ARM libraries come from
# Debian's own packages, fetched by apt with a private state of its own and
# unpacked into build-cross/ARCH/sysroot, so the machine's packages stay as
# they are. The data are the native build's (build/data).
# build-cross/ARCH/run runs a built program under qemu on the sysroot's
# libraries and Mesa:
#   tools/cross.sh armhf
#   cd build/data && xvfb-run -a -s "-screen 0 854x480x24" \
#     ../../build-cross/armhf/run ../../build-cross/armhf/build/quintaro-n9 --capture /tmp/f --fps 1/10 --from 140 --to 150
# Usage: tools/cross.sh [armhf|arm64] [cmake --build arguments, e.g. --target quintaro-n9]
set -e
cd "$(dirname "$0")/.."
arch=${1:-armhf}
[ $# -gt 0 ] && shift
case $arch in
armhf) triplet=arm-linux-gnueabihf qemu=qemu-arm-static ;;
arm64) triplet=aarch64-linux-gnu qemu=qemu-aarch64-static ;;
*) echo "cross.sh: unknown architecture '$arch' (armhf or arm64)" >&2; exit 2 ;;
esac
for tool in $triplet-g++ $qemu apt-get dpkg-deb; do
	if ! command -v $tool >/dev/null; then
		echo "cross.sh: $tool is missing (tools/setup.sh installs it)" >&2
		exit 1
	fi
done

top=$(pwd)/build-cross/$arch
sysroot=$top/sysroot
# Everything the build links, and Mesa's drivers to run on.
packages="libc6-dev libstdc++-12-dev libsdl1.2-dev libsdl-image1.2-dev libsdl-mixer1.2-dev
 libegl-dev libgles-dev libgl-dev libglew-dev libx11-dev libxext-dev libdbus-1-dev
 libglm-dev libstb-dev libgtest-dev libgl1-mesa-dri libegl-mesa0 libglx-mesa0"

# apt as if on an empty machine of that architecture: it resolves the whole
# dependency closure and only downloads.
fetch_sysroot() {
	state=$top/apt
	rm -rf "$state" "$sysroot"
	mkdir -p "$state/lists/partial" "$state/archives/partial" "$state/parts" "$sysroot"
	: >"$state/status"
	keyring=/usr/share/keyrings/debian-archive-keyring.gpg
	cat >"$state/sources.list" <<-EOF
	deb [signed-by=$keyring] http://deb.debian.org/debian bookworm main
	deb [signed-by=$keyring] http://deb.debian.org/debian bookworm-updates main
	deb [signed-by=$keyring] http://deb.debian.org/debian-security bookworm-security main
	EOF
	set -- -q -o APT::Architecture=$arch -o APT::Architectures::=$arch \
		-o Dir::State="$state" -o Dir::State::status="$state/status" \
		-o Dir::State::Lists="$state/lists" -o Dir::Cache="$state" \
		-o Dir::Cache::archives="$state/archives" \
		-o Dir::Etc::SourceList="$state/sources.list" -o Dir::Etc::SourceParts="$state/parts" \
		-o Dir::Etc::Preferences="$state/none" -o Dir::Etc::PreferencesParts="$state/parts" \
		-o APT::Sandbox::User=root -o pkgCacheGen::Essential=none -o Acquire::Languages=none
	apt-get "$@" update >/dev/null
	apt-get "$@" install -y --download-only --no-install-recommends $packages >/dev/null
	for deb in "$state"/archives/*.deb; do
		dpkg-deb -x "$deb" "$sysroot"
	done
	rm -rf "$state/archives" "$sysroot/usr/share/doc" "$sysroot/usr/share/man" "$sysroot/usr/share/locale"
	# Links that name a path from the root point into the sysroot instead.
	find "$sysroot" -type l -lname '/*' | while read -r link; do
		ln -sfr "$sysroot$(readlink "$link")" "$link"
	done
	echo "$packages" >"$top/sysroot.stamp"
}

if [ ! -f "$top/sysroot.stamp" ] || [ "$(cat "$top/sysroot.stamp")" != "$packages" ]; then
	echo "cross.sh: fetching the $arch sysroot (about 100 MB)"
	fetch_sysroot
fi

lib=$sysroot/usr/lib/$triplet
cat >"$top/run" <<EOF
#!/bin/sh
# Runs a program of the $arch build under qemu on the sysroot's libraries and Mesa.
exec $qemu -L "$sysroot" -E LD_LIBRARY_PATH="$lib:$sysroot/lib/$triplet" \\
	-E LIBGL_DRIVERS_PATH="$lib/dri" -E __EGL_VENDOR_LIBRARY_DIRS="$sysroot/usr/share/glvnd/egl_vendor.d" "\$@"
EOF
chmod +x "$top/run"

cmake -S . -B "$top/build" -DCMAKE_TOOLCHAIN_FILE="$(pwd)/tools/cross-toolchain.cmake" \
	-DQVD_CROSS_ARCH=$arch -DQVD_SYSROOT="$sysroot" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	-DQVD_DATA=OFF -DQVD_TEST_ONLY=engine >/dev/null
if [ $# -eq 0 ]; then
	set -- --target quintaro-n9 quintaro engine_test
fi
cmake --build "$top/build" -j"$(nproc)" "$@"
echo "cross.sh: built in $top/build; run its programs with $top/run"
