#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The launcher's, the program's and the pictures' folders are each set on
# their own (relative to the prefix or absolute), and the installed launcher
# finds the program and the pictures wherever they went: the game it starts
# reads this install's pictures (one is missing, and its error line says so).
source "$(dirname "$0")/common.sh"
need cmake timeout

build="$scratch/build"
prefix_dir="$scratch/prefix"
data="$scratch/elsewhere/data"
run() {
    "$@" >>"$scratch/build.log" 2>&1 || { cat "$scratch/build.log"; fail "failed: $*"; }
}
run cmake -S "$DUELSTAR_SOURCE" -B "$build" -DBUILD_TESTING=OFF \
    -DDUELSTAR_LAUNCHER_DIR=play -DDUELSTAR_PROGRAM_DIR=lib/duel/program -DDUELSTAR_DATA_DIR="$data"
run cmake --build "$build" --target duelstar -j "$(nproc)"
run cmake --install "$build" --prefix "$prefix_dir"

[ -x "$prefix_dir/play/duelstar" ] || fail "no launcher in play/"
[ -x "$prefix_dir/lib/duel/program/duelstar" ] || fail "no program in lib/duel/program/"
diff -r "$DUELSTAR_SOURCE/images" "$data/images" || fail "the pictures are not in $data/images"
grep -q "^\.I $data/images/\$" "$prefix_dir/share/man/man6/duelstar.6" || fail "the manual page does not name $data/images"

broken=${pictures[0]}
rm "$data/images/$broken"
status=0
(cd / && exec timeout 30 env -i PATH=/usr/bin:/bin HOME="$scratch/home" SDL_VIDEODRIVER=dummy \
    "$prefix_dir/play/duelstar" >"$scratch/out" 2>&1) || status=$?
[ "$status" -eq 1 ] || fail "status $status, not 1: $(cat "$scratch/out")"
[ "$(cat "$scratch/out")" = "ERROR: GFX::loadbmp(): Couldn't open images/$broken" ] || fail "output: $(cat "$scratch/out")"
echo "launcher in play/, program in lib/duel/program/, pictures in $data: the game read them"
