#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Every installed icon is a square PNG of its folder's size, with a
# transparent corner (a round plate) and both ships' colours on it.
source "$(dirname "$0")/common.sh"
need identify convert
need_stage

for size in "${icon_sizes[@]}"; do
    icon="$root/share/icons/hicolor/${size}x$size/apps/duelstar.png"
    read -r format width height channels <<<"$(identify -format '%m %w %h %[channels]\n' "$icon")"
    [ "$format" = PNG ] || fail "$icon is $format, not PNG"
    [ "$width" = "$size" ] && [ "$height" = "$size" ] || fail "$icon is ${width}x$height, not ${size}x$size"
    [[ "$channels" == *a* ]] || fail "$icon has no alpha channel ($channels)"
    corner=$(convert "$icon" -format '%[fx:int(255*p{0,0}.a)]' info:)
    [ "$corner" -eq 0 ] || fail "$icon has an opaque corner (alpha $corner)"
    # Count clearly red and clearly blue opaque pixels: one of each ship.
    read -r reds blues <<<"$(convert "$icon" -depth 8 txt:- | awk -F'[()]' '
        NR > 1 { split($2, c, ","); r = c[1]; g = c[2]; b = c[3]; a = c[4]
                 if (a > 128 && r > 128 && r > 2 * b && r > 1.5 * g) reds++
                 if (a > 128 && b > 128 && b > 2 * r && b > 1.2 * g) blues++ }
        END { print reds + 0, blues + 0 }')"
    [ "$reds" -gt 0 ] || fail "$icon shows nothing red"
    [ "$blues" -gt 0 ] || fail "$icon shows nothing blue"
    echo "${size}x$size: $reds red and $blues blue pixels"
done
