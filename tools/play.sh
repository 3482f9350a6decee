#!/bin/sh
# Installs what is missing, builds the demo and its data, and plays it.
# Arguments go on to the program (e.g. --fs, --720p, --seek 30).
# Without a display to open a window on, it records a video instead.
set -e
cd "$(dirname "$0")/.."
./tools/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQVD_DATA=ON -DQVD_TEST_ONLY= >/dev/null
cmake --build build -j"$(nproc)" --target quintaro data
cd build/data
if [ -n "$DISPLAY" ] && xdpyinfo >/dev/null 2>&1; then
	exec ../quintaro "$@"
fi
video="$(cd .. && pwd)/quintaro.mp4"
echo "no display to open a window on: recording the demo with its music to $video instead"
xvfb-run -a -s "-screen 0 1920x1200x24 -noreset" ../quintaro --capture "$video" "$@"
echo "the demo is in $video"
