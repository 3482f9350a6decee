#!/bin/sh
# Contact sheet of every generated picture (name and size under each) and a
# spectrogram of the music, for looking at the data set at a glance.
# usage: tools/datasheet.sh DATA_FOLDER [OUTPUT_FOLDER]
set -e
data=${1:?usage: datasheet.sh DATA_FOLDER [OUTPUT_FOLDER]}
out=${2:-$data}
[ -d "$data/gfx" ] || { echo "datasheet: no gfx folder in $data" >&2; exit 1; }
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for f in "$data"/gfx/*.png "$data"/gfx/*.jpg; do
  name=$(basename "$f")
  size=$(identify -format '%wx%h' "$f")
  # transparent pictures over a checkerboard, so their alpha shows
  convert -size 256x256 pattern:checkerboard -scale 200% -crop 256x256+0+0 +repage \
    \( "$f" -resize 256x256 \) -gravity center -composite \
    +size -background '#202020' -fill white -font DejaVu-Sans -pointsize 13 \
    label:"$name $size" -append "$tmp/$name.png"
done
montage "$tmp"/*.png -tile 6x -geometry +6+6 -background '#202020' "$out/contact_sheet.png"
if [ -f "$data/quintaro.ogg" ]; then
  sox "$data/quintaro.ogg" -n remix - spectrogram -x 1600 -y 513 -z 90 \
    -t "quintaro.ogg" -o "$out/spectrogram.png"
fi
echo "datasheet: wrote $out/contact_sheet.png and $out/spectrogram.png"
