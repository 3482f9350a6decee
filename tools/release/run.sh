#!/bin/sh
# Plays the demo from this unpacked folder: bin/quintaro finds its data in
# share/quintaro beside it. Arguments go on to the demo (./run.sh --fs);
# bin/quintaro-n9 is the 854x480 handheld program.
here=$(dirname "$(readlink -f "$0")")
missing=$(ldd "$here/bin/quintaro" 2>/dev/null | sed -n 's/^[[:space:]]*\([^ ]*\) => not found.*/\1/p' | tr '\n' ' ')
if [ -n "$missing" ]; then
	echo "run.sh: this system lacks ${missing}- install SDL 1.2, SDL_image 1.2, SDL_mixer 1.2 and GLEW 2.2" >&2
	exit 1
fi
exec "$here/bin/quintaro" "$@"
