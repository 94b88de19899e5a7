#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The manual page renders with man -l, without groff warnings, and tells the
# keys of both players, the files, the output lines and the exit statuses,
# with the paths of this install.
source "$(dirname "$0")/common.sh"
need man
need_stage

page="$root/share/man/man6/duelstar.6"
MANWIDTH=100 LC_ALL=C.UTF-8 man --warnings -l "$page" >"$scratch/page.txt" 2>"$scratch/warnings.txt" \
    || fail "man -l cannot render $page"
[ ! -s "$scratch/warnings.txt" ] || { cat "$scratch/warnings.txt"; fail "groff warns about the page"; }

expect() {
    grep -Eq -- "$1" "$scratch/page.txt" || { cat "$scratch/page.txt"; fail "the rendered page lacks: $1"; }
}
expect '^DUELSTAR\(6\)'
expect 'duelstar - two-player space duel for one keyboard'
for section in NAME SYNOPSIS DESCRIPTION KEYS FILES ENVIRONMENT OUTPUT 'EXIT STATUS'; do
    expect "^$section\$"
done
# The key table: RED's keys and BLUE's keys side by side.
expect '^ +Up +t +cursor up$'
expect '^ +Down +g +cursor down$'
expect '^ +Left +f +cursor left$'
expect '^ +Right +h +cursor right$'
expect '^ +Fire +s +Return$'
expect 'Escape'
expect 'screenshot\.bmp'
expect 'XDG_DATA_HOME/duelstar'
expect '\.local/share/duelstar'
expect "$prefix/share/games/duelstar/images"
expect "$prefix/libexec/duelstar/duelstar"
expect "The pictures the game reads at start"
expect "$prefix/share/games/duelstar/sounds"
expect 'ERROR: SFX::loadwav\(\): sounds/hit\.wav'
expect "$prefix/share/doc/duelstar/"
expect 'duelstar --version'
expect 'Red wins 3-0 \( 412 fps \)'
expect 'ERROR: GFX::loadbmp\(\): Couldn.t open images/stars\.bmp'
expect 'ERROR: duelstar: game pictures not found in'
expect '^ +0 +A player won'
expect '^ +1 +A fatal error'
# The staging folder is no part of the paths the page names.
if grep -q "$DUELSTAR_STAGE" "$scratch/page.txt"; then fail "the page names the staging folder"; fi
echo "manual page renders, $(wc -l <"$scratch/page.txt") lines"
