#!/bin/sh
# Builds every release file into build/release/, each named with the
# version from CMakeLists.txt's project(): the Debian package, a portable
# archive for other Linux systems and the web page as one zip. Prints their
# sizes and SHA-256 sums (also written to quintaro-VERSION.sha256).
# The programs are built in build-release/ with Debian's hardening flags
# and without the tests; the page in build-release/web/.
set -e
cd "$(dirname "$0")/.."
./tools/setup.sh
version=$(sed -n 's/^project(quintaro VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
if [ -z "$version" ]; then
	echo "release: CMakeLists.txt's project() names no version" >&2
	exit 1
fi
root=$(pwd)
tree=$root/build-release
out=$root/build/release
stage=$tree/stage
jobs=$(nproc)
# The changelog's date and the archives' times are the last commit's.
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || date +%s)
export SOURCE_DATE_EPOCH

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
env CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
	CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
	LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
	cmake -S . -B "$tree" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
	-DQVD_DATA=ON -DQVD_TESTS=OFF >/dev/null
cmake --build "$tree" -j"$jobs"
rm -rf "$out" "$stage"
mkdir -p "$out" "$stage"

# The Debian package, and lintian's word on it.
rm -rf "$tree/cpack"
cpack --config "$tree/CPackConfig.cmake" -B "$tree/cpack" >/dev/null
deb=$(cd "$tree/cpack" && ls quintaro_"$version"_*.deb)
mv "$tree/cpack/$deb" "$out/"
echo "lintian:"
lintian --fail-on error --tag-display-limit 0 "$out/$deb" || { echo "release: lintian found errors" >&2; exit 1; }

# The portable archive: the install tree, the README and run.sh.
name=quintaro-$version-linux-$(uname -m)
cmake --install "$tree" --prefix "$stage/$name" --strip >/dev/null
cp README.md "$stage/$name/"
cp tools/release/run.sh "$stage/$name/"
tar -C "$stage" --sort=name --owner=0 --group=0 --numeric-owner --mtime=@"$SOURCE_DATE_EPOCH" -cf - "$name" |
	gzip -9n >"$out/$name.tar.gz"

# The web page: its static folder as one zip, index.html leading to the page.
NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs" emcmake cmake -S . -B "$tree/web" \
	-DCMAKE_BUILD_TYPE=Release -DQVD_WEB_DATA="$tree/data" >/dev/null
NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs" cmake --build "$tree/web" -j"$jobs"
web=quintaro-$version-web
cp -r "$tree/web/page" "$stage/$web"
printf '<!doctype html>\n<meta http-equiv="refresh" content="0; url=quintaro.html">\n<a href="quintaro.html">quintaro</a>\n' \
	>"$stage/$web/index.html"
find "$stage/$web" -exec touch -d @"$SOURCE_DATE_EPOCH" {} +
(cd "$stage" && find "$web" | LC_ALL=C sort | zip -qX9 "$out/$web.zip" -@)

cd "$out"
files="$deb $name.tar.gz $web.zip"
sha256sum $files >quintaro-$version.sha256
echo "release files in $out:"
for f in $files; do
	printf '%-36s %10s bytes  %s\n' "$f" "$(stat -c %s "$f")" "$(sha256sum "$f" | cut -d' ' -f1)"
done
