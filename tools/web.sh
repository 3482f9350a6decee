#!/bin/sh
# Installs what is missing, builds the demo for a web browser into
# build-web/page (one folder of static files) and serves it on 127.0.0.1.
# Arguments become the page's options: tools/web.sh --seek 30 prints an
# address ending in ?--seek&30.
#   --build-only   build, print the folder, don't serve
#   --port N       serve on port N (default 8014)
set -e
cd "$(dirname "$0")/.."
serve=1
port=8014
query=""
while [ $# -gt 0 ]; do
	case "$1" in
	--build-only) serve=0 ;;
	--port) port=$2; shift ;;
	*) query="$query${query:+&}$1" ;;
	esac
	shift
done

./tools/setup.sh
# The page carries the data the native build generates.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQVD_DATA=ON -DQVD_TEST_ONLY= >/dev/null
cmake --build build -j"$(nproc)" --target data

# Debian's emscripten runs its JavaScript tools on the machine's node, which
# may not look in Debian's module folder by itself.
export NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release -DQVD_WEB_DATA="$(pwd)/build/data" >/dev/null
cmake --build build-web -j"$(nproc)"
page="$(pwd)/build-web/page"
if [ $serve = 0 ]; then
	echo "the page is in $page"
	exit 0
fi
echo "open http://127.0.0.1:$port/quintaro.html${query:+?$query} (Ctrl-C stops the server)"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$page"
