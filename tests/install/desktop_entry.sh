#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The menu entry passes desktop-file-validate, runs the launcher on the PATH
# and names an icon that is installed in the hicolor theme.
source "$(dirname "$0")/common.sh"
need desktop-file-validate
need_stage

entry="$root/share/applications/$DUELSTAR_APP_ID.desktop"
desktop-file-validate "$entry" >"$scratch/validate.log" 2>&1 \
    || { cat "$scratch/validate.log"; fail "desktop-file-validate rejects $entry"; }
# desktop-file-validate exits 0 on hints too; the entry must draw none.
[ ! -s "$scratch/validate.log" ] || { cat "$scratch/validate.log"; fail "desktop-file-validate has remarks"; }

# A key of the main group; the actions below have keys of the same names.
key() { sed -n "/^\[Desktop Entry\]/,/^\[Desktop Action/ s/^$1=//p" "$entry"; }
[ "$(key Type)" = Application ] || fail "Type is not Application"
[ "$(key Name)" = Duelstar ] || fail "Name is not Duelstar"
[ "$(key Categories)" = "Game;ArcadeGame;" ] || fail "Categories: $(key Categories)"
[ "$(key Terminal)" = false ] || fail "Terminal is not false"
[ "$(key Exec)" = duelstar ] || fail "Exec does not run the launcher: $(key Exec)"
[ -x "$root/bin/$(key Exec)" ] || fail "Exec names no installed program"
icon=$(key Icon)
for size in 32 64 128; do
    [ -f "$root/share/icons/hicolor/${size}x$size/apps/$icon.png" ] || fail "icon $icon missing at ${size}x$size"
done
# Each action plays against the computer through the same launcher.
[ "$(key Actions)" = "easy;normal;hard;" ] || fail "Actions: $(key Actions)"
for level in easy normal hard; do
    exec_line=$(sed -n "/^\[Desktop Action $level\]/,/^\[/ s/^Exec=//p" "$entry")
    [ "$exec_line" = "duelstar --cpu blue --level $level" ] || fail "action $level runs: $exec_line"
done
echo "desktop entry $DUELSTAR_APP_ID.desktop is valid"
