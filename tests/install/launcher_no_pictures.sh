#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# With the installed pictures gone, the launcher, found on the PATH and
# started from an unrelated folder, prints its one line and ends with status 1,
# before it makes anything in the player's folders.
source "$(dirname "$0")/common.sh"
need_stage

copy="$scratch/stage"
cp -a "$DUELSTAR_STAGE" "$copy"
rm -r "$copy$prefix/share/games/duelstar/images"
home="$scratch/home"
mkdir -p "$home"

status=0
(cd / && exec env -i PATH="$copy$prefix/bin:/usr/bin:/bin" HOME="$home" SDL_VIDEODRIVER=dummy \
    duelstar >"$scratch/out" 2>"$scratch/err") || status=$?

[ "$status" -eq 1 ] || fail "status $status, not 1"
expected="ERROR: duelstar: game pictures not found in $copy$prefix/share/games/duelstar/images"
[ "$(cat "$scratch/out")" = "$expected" ] || fail "output is '$(cat "$scratch/out")', not '$expected'"
[ ! -s "$scratch/err" ] || fail "unexpected standard error: $(cat "$scratch/err")"
[ -z "$(ls -A "$home")" ] || fail "the launcher made $(cd "$home" && find .)"
echo "$expected"
