#!/bin/sh
# Installs every Debian package the build, the demo and the tests need.
# Safe to run again: apt-get skips what is already there.
set -e
PACKAGES="build-essential cmake pkg-config git
 libsdl1.2-dev libsdl-mixer1.2-dev
 libglew-dev libglm-dev libgl1-mesa-dev libgl1-mesa-dri mesa-utils
 libstb-dev libjpeg-dev libpng-dev libfreetype-dev libvorbis-dev libogg-dev fonts-dejavu-core fonts-dejavu-extra
 libgtest-dev xvfb xauth xdotool x11-utils ffmpeg sox imagemagick
 libegl-dev libgles-dev libx11-dev libxext-dev libdbus-1-dev dbus-daemon dbus-bin
 clang libclang-rt-14-dev llvm
 emscripten chromium
 dpkg-dev file lintian zip unzip
 g++-arm-linux-gnueabihf g++-aarch64-linux-gnu qemu-user-static"
missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  if [ "$(id -u)" != 0 ]; then
    echo "setup: missing packages:$missing (run as root to install them)" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends $missing
fi
