#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A player's first game from the staged install: the launcher, started from
# an unrelated folder, makes the player's game folder, links the pictures and sounds into
# it and shows the game on an X display of the test's own; p saves a
# screenshot there and ESCAPE ends the game with status 0 and no output.
source "$(dirname "$0")/common.sh"
need Xvfb xdotool xwininfo identify import compare
need_stage
start_xvfb

home="$scratch/home"
data="$scratch/data"
folder="$data/duelstar"
mkdir -p "$home" "$folder"
# A link left by an earlier install elsewhere is made to point here again.
ln -s "$scratch/gone/images" "$folder/images"

root_shot_before=no
[ -e /screenshot.bmp ] && root_shot_before=yes
(cd / && exec env -i PATH=/usr/bin:/bin HOME="$home" XDG_DATA_HOME="$data" \
    DISPLAY="$DISPLAY" SDL_VIDEODRIVER=x11 "$launcher" >"$scratch/out" 2>"$scratch/err") &
game=$!
on_exit "kill $game 2>/dev/null; wait $game 2>/dev/null"

running() { kill -0 "$game" 2>/dev/null; }
game_window() { xdotool search --name '^Duelstar$' 2>/dev/null | head -n1; }
window_shown() {
    running || { cat "$scratch/out" "$scratch/err"; fail "the game ended early"; }
    local id
    id=$(game_window)
    [ -n "$id" ] && xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable'
}
wait_for 60 window_shown || fail "no Duelstar window appeared"
window=$(game_window)
geometry=$(xwininfo -id "$window" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
[ "$geometry" = 800x600 ] || fail "the window is $geometry, not 800x600"

# The links are in place before the game reads a picture or a sound.
[ "$(readlink "$folder/images")" = "$(readlink -f "$pictures_dir")" ] \
    || fail "images links to $(readlink "$folder/images"), not to the installed pictures"
[ "$(readlink "$folder/sounds")" = "$(readlink -f "$sounds_dir")" ] \
    || fail "sounds links to $(readlink "$folder/sounds"), not to the installed sounds"

# p is read once the loading picture (2.5 s) is over and the frames run;
# a press during the loading waits in the queue. Pressed again now and then,
# in case one went to the display before the game took the keyboard.
shot="$folder/screenshot.bmp"
press_p() {
    running || { cat "$scratch/out" "$scratch/err"; fail "the game ended before the screenshot"; }
    [ -e "$shot" ] && return 0
    if [ $((SECONDS - last_press)) -ge 5 ]; then
        xdotool key p
        last_press=$SECONDS
    fi
    return 1
}
last_press=-10
wait_for 90 press_p || fail "p left no $shot"

# What the display shows now is the game: the screenshot's picture. Only the
# banner along the bottom moves between the two, so the rows above it match.
import -display "$DISPLAY" -window root "$scratch/display.png"
convert "$scratch/display.png" -crop 800x560+0+0 +repage "$scratch/display-top.png"
convert "$shot" -crop 800x560+0+0 +repage "$scratch/shot-top.png"
compare -metric AE -fuzz 6% "$scratch/display-top.png" "$scratch/shot-top.png" null: \
    2>"$scratch/differ" || true
differ=$(cat "$scratch/differ")
[ "${differ%%.*}" -le 800 ] 2>/dev/null \
    || fail "the display and the screenshot differ in $differ of the 448000 pixels above the banner"

xdotool key Escape
ended() { ! running; }
wait_for 30 ended || fail "ESCAPE did not end the game"
status=0
wait "$game" || status=$?

[ "$status" -eq 0 ] || fail "the game ended with status $status: $(cat "$scratch/out" "$scratch/err")"
[ ! -s "$scratch/out" ] || fail "unexpected standard output: $(cat "$scratch/out")"
[ ! -s "$scratch/err" ] || fail "unexpected standard error: $(cat "$scratch/err")"

read -r format width height <<<"$(identify -format '%m %w %h\n' "$shot")"
[[ "$format" == BMP* ]] || fail "the screenshot is $format, not BMP"
[ "$width" = 800 ] && [ "$height" = 600 ] || fail "the screenshot is ${width}x$height, not 800x600"
# The game drew its frame into it: stars, ships and banner, not one flat colour.
colours=$(identify -format '%k' "$shot")
[ "$colours" -ge 8 ] || fail "the screenshot has only $colours colours"

# Nothing landed in the folder the launcher was started from.
[ -e /screenshot.bmp ] && [ "$root_shot_before" = no ] && fail "a screenshot landed in /"
echo "screenshot ${width}x$height with $colours colours; display matched it but for $differ pixels"
