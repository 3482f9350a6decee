#!/bin/bash
# The demo as a viewer installs it: `cmake --install` into a temporary
# prefix, the programs run from folders that hold no data, and (with
# "package") the Debian package: its dependencies, lintian's verdict and
# its programs unpacked and run from /.
# Usage: release_test.sh BUILD VERSION [package]
set -u
build=$(realpath "$1")
version=$2
if [ ! -f "$build/data/quintaro.ogg" ]; then
	echo "no demo data in $build/data, skipping"
	exit 77
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() {
	echo "$*"
	exit 1
}

# From /, the program must find its data by itself and draw every frame.
bench_from_root() {
	(cd / && "$1" --bench --to 1 >/dev/null 2>"$tmp/err") || fail "$1 --bench from / failed: $(tail -3 "$tmp/err")"
	grep -q "^bench total: 51 frames" "$tmp/err" || fail "$1 drew no 51 frames from /: $(tail -3 "$tmp/err")"
	grep -q "^data folder: .*/share/quintaro$" "$tmp/err" || fail "$1 names no data folder in share/quintaro"
}

p=$tmp/prefix
cmake --install "$build" --prefix "$p" >"$tmp/install.log" || fail "cmake --install failed: $(tail -3 "$tmp/install.log")"
for f in bin/quintaro bin/quintaro-n9 share/quintaro/quintaro.ogg share/quintaro/gfx/qvdlogo.jpg \
	share/doc/quintaro/README.md share/applications/quintaro.desktop share/icons/hicolor/256x256/apps/quintaro.png; do
	[ -f "$p/$f" ] || fail "the install holds no $f"
done
[ "$("$p/bin/quintaro" --version)" = "quintaro $version" ] || fail "quintaro --version: $("$p/bin/quintaro" --version)"
[ "$("$p/bin/quintaro-n9" --version)" = "quintaro-n9 $version" ] || fail "quintaro-n9 --version is wrong"
# The icon: clear in its corners, the logo opaque in the middle.
icon=$(identify -format '%wx%h %[fx:p{2,253}.a] %[fx:p{128,128}.a]' "$p/share/icons/hicolor/256x256/apps/quintaro.png")
[ "$icon" = "256x256 0 1" ] || fail "the icon (size, corner and middle opacity) is $icon"
bench_from_root "$p/bin/quintaro"

# A relative recording path means the folder the demo was started in.
mkdir "$tmp/here"
(cd "$tmp/here" && "$p/bin/quintaro" --capture shots --from 1 --to 1 >/dev/null 2>"$tmp/err")
shot=$(ls "$tmp"/here/shots/*.png 2>/dev/null)
[ -n "$shot" ] || fail "no frame in the starting folder: $(tail -3 "$tmp/err")"
# A picture, not one flat colour.
[ "$(identify -format '%[fx:standard_deviation > 0.05]' "$shot")" = 1 ] || fail "the frame at 1 s is flat"

# --data: another folder is used; one that is no data folder is refused.
(cd / && "$build/quintaro" --data "$build/data" --bench --to 0 >/dev/null 2>&1) || fail "--data DIR from / failed"
for bad in "$tmp/nothing" "$tmp/here"; do
	(cd / && "$build/quintaro" --data "$bad" --bench --to 0 >/dev/null 2>"$tmp/err")
	status=$?
	[ $status = 2 ] && [ "$(wc -l <"$tmp/err")" = 1 ] && grep -q "$bad" "$tmp/err" ||
		fail "--data $bad: status $status, $(cat "$tmp/err")"
done

[ "${3:-}" = package ] || exit 0
(cd "$build" && cpack -G DEB -B "$tmp/pkg" >"$tmp/cpack.log" 2>&1) || fail "cpack failed: $(tail -5 "$tmp/cpack.log")"
deb=$(ls "$tmp"/pkg/quintaro_"$version"_*.deb) || fail "cpack made no quintaro_${version}_*.deb"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libsdl1.2debian libsdl-mixer1.2 libpng16 libjpeg62-turbo libglew; do
	[[ $depends == *"$lib"* ]] || fail "the package's Depends names no $lib: $depends"
done
[ "$(dpkg-deb -f "$deb" Recommends)" = ffmpeg ] || fail "the package does not recommend ffmpeg"
lintian --fail-on error "$deb" >"$tmp/lintian" 2>&1 || fail "lintian: $(grep '^E:' "$tmp/lintian")"
dpkg-deb -x "$deb" "$tmp/x"
bench_from_root "$tmp/x/usr/bin/quintaro"
