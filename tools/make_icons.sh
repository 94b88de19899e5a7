#!/bin/sh
# SPDX-License-Identifier: MIT
# Draws the menu icon from the game's own pictures: the blue ship and the red
# ship facing each other on a round plate cut from the star background, in the
# sizes the hicolor icon theme wants, and the two a web app manifest wants for
# the browser page. Run by hand after images/ changes; the results are kept in
# dist/icons/ and web/icons/ so that building needs no ImageMagick.
#
#   tools/make_icons.sh [IMAGES_DIR [OUT_DIR [WEB_OUT_DIR]]]
set -eu

top=$(cd "$(dirname "$0")/.." && pwd)
images=${1:-$top/images}
out=${2:-$top/dist/icons}
web_out=${3:-$top/web/icons}
sizes="16 32 48 64 128 256"
web_sizes="192 512"
# Colours kept in the page's icons: a player's first visit downloads them, and
# a palette keeps the 512 px one at a sixth of its full-colour size.
web_colours=128

for picture in ship_red.bmp ship_blue.bmp stars.bmp; do
    [ -f "$images/$picture" ] || { echo "make_icons.sh: no $images/$picture" >&2; exit 1; }
done
command -v convert >/dev/null || { echo "make_icons.sh: ImageMagick's convert is needed" >&2; exit 1; }
mkdir -p "$out" "$web_out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Everything is drawn at 512 px and scaled down, so every size is the same
# picture. Black is the game's transparent colour, so it is cut away here too.
# Each ship is cut to its drawn part and fitted into a box of its half.
big=512
ship=216
for side in blue red; do
    convert "$images/ship_$side.bmp" -transparent black -trim +repage \
        -resize "${ship}x$ship" "$work/$side.png"
done

# The plate: the middle of the star field, darkened towards its edge, with a rim.
convert "$images/stars.bmp" -gravity center -crop 400x400+0+0 +repage -resize "${big}x$big!" \
    \( -size "${big}x$big" radial-gradient:'#ffffff-#303040' \) -compose multiply -composite \
    "$work/stars.png"
convert -size "${big}x$big" xc:none -fill '#0a1430' -draw "circle 256,256 256,8" "$work/disc.png"
convert "$work/disc.png" "$work/stars.png" -compose screen -composite \
    "$work/disc.png" -compose copy_opacity -composite "$work/plate.png"

# The ships, a little apart, on the plate; then the rim over them and the round cut.
convert "$work/plate.png" \
    -gravity center \
    "$work/blue.png" -geometry -112+0 -compose over -composite \
    "$work/red.png" -geometry +112+0 -compose over -composite \
    -gravity northwest \
    -fill none -stroke '#8090c0' -strokewidth 14 -draw "circle 256,256 256,14" \
    \( -size "${big}x$big" xc:none -fill white -draw "circle 256,256 256,7" \) \
    -compose dst_in -composite "$work/icon.png"

for size in $sizes; do
    convert "$work/icon.png" -filter Lanczos -resize "${size}x$size" -strip \
        -define png:exclude-chunks=date,time -define png:color-type=6 \
        "$out/duelstar-$size.png"
done
for size in $web_sizes; do
    convert "$work/icon.png" -filter Lanczos -resize "${size}x$size" -strip \
        -dither None -colors "$web_colours" -define png:exclude-chunks=date,time \
        "PNG8:$web_out/duelstar-$size.png"
done
echo "made $(echo "$sizes" | wc -w) icons in $out and $(echo "$web_sizes" | wc -w) in $web_out"
