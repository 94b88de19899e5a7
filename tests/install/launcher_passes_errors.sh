#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The launcher hands the game's own output and exit status through unchanged:
# with one picture missing, the game's error line and status 1 come out as
# they are. Started through a link to it, from a folder of no interest, with a
# relative XDG_DATA_HOME (which is not valid, so HOME's default folder serves).
# SDL draws to its dummy driver: no display is needed to reach the error.
source "$(dirname "$0")/common.sh"
need_stage

copy="$scratch/stage"
cp -a "$DUELSTAR_STAGE" "$copy"
broken=${pictures[0]}
rm "$copy$prefix/share/games/duelstar/images/$broken"
home="$scratch/home"
elsewhere="$scratch/elsewhere"
mkdir -p "$home" "$elsewhere" "$scratch/links"
ln -s "$copy$prefix/bin/duelstar" "$scratch/links/duelstar"

status=0
(cd "$elsewhere" && exec env -i PATH=/usr/bin:/bin HOME="$home" XDG_DATA_HOME=relative/data \
    SDL_VIDEODRIVER=dummy "$scratch/links/duelstar" >"$scratch/out" 2>"$scratch/err") || status=$?

[ "$status" -eq 1 ] || fail "status $status, not 1 (output: $(cat "$scratch/out" "$scratch/err"))"
expected="ERROR: GFX::loadbmp(): Couldn't open images/$broken"
[ "$(cat "$scratch/out")" = "$expected" ] || fail "output is '$(cat "$scratch/out")', not '$expected'"
[ ! -s "$scratch/err" ] || fail "unexpected standard error: $(cat "$scratch/err")"
folder="$home/.local/share/duelstar"
[ -d "$folder" ] || fail "no game folder $folder"
[ "$(readlink "$folder/images")" = "$copy$prefix/share/games/duelstar/images" ] \
    || fail "images links to '$(readlink "$folder/images")'"
[ -z "$(ls -A "$elsewhere")" ] || fail "the launcher made $(cd "$elsewhere" && find .) in the current folder"
echo "$expected"
