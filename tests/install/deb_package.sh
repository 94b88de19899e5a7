#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Debian package duelstar, in section games, depending on SDL 1.2's
# and SDL_mixer's runtimes: the launcher in /usr/games, the program in /usr/lib/games/duelstar
# built with Debian's hardening, the pictures and sounds in /usr/share/games/duelstar,
# the menu entry, the icons, the compressed manual page naming those places,
# and the licence and changelog in /usr/share/doc/duelstar.
source "$(dirname "$0")/common.sh"
need dpkg-deb readelf nm zcat
debs=("$DUELSTAR_DEB_DIR"/duelstar_*.deb)
[ -f "${debs[0]}" ] || fail "no package in $DUELSTAR_DEB_DIR (the install.deb_build test makes it)"
deb=${debs[0]}

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = duelstar ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$DUELSTAR_VERSION" ] || fail "Version: $(field Version), not $DUELSTAR_VERSION"
[ "$(field Section)" = games ] || fail "Section: $(field Section)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture: $(field Architecture)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
field Depends | grep -Eq '(^|, )libsdl1\.2debian( |,|$)' || fail "Depends lacks libsdl1.2debian: $(field Depends)"
field Depends | grep -Eq '(^|, )libsdl-mixer1\.2( |,|$)' || fail "Depends lacks libsdl-mixer1.2: $(field Depends)"
field Depends | grep -Eq '(^|, )libenet7( |,|$)' || fail "Depends lacks libenet7: $(field Depends)"
description=$(field Description)
[[ "$description" == "two-player space duel for one keyboard"* ]] || fail "Description: $description"
[ "$(printf '%s\n' "$description" | wc -l)" -ge 2 ] || fail "no long description"
echo "Depends: $(field Depends)"

dpkg-deb --contents "$deb" >"$scratch/contents"
expected=(
    "./usr/games/duelstar"
    "./usr/lib/games/duelstar/duelstar"
    "./usr/share/applications/$DUELSTAR_APP_ID.desktop"
    "./usr/share/metainfo/$DUELSTAR_APP_ID.metainfo.xml"
    "./usr/share/man/man6/duelstar.6.gz"
    "./usr/share/doc/duelstar/copyright"
    "./usr/share/doc/duelstar/changelog.gz"
)
for picture in "${pictures[@]}"; do expected+=("./usr/share/games/duelstar/images/$picture"); done
for sound in "${sounds[@]}"; do expected+=("./usr/share/games/duelstar/sounds/$sound"); done
for size in "${icon_sizes[@]}"; do expected+=("./usr/share/icons/hicolor/${size}x$size/apps/duelstar.png"); done
for path in "${expected[@]}"; do
    grep -Eq "^-[rwx-]{9} root/root +[0-9]+ [0-9-]+ [0-9:]+ ${path//./\\.}\$" "$scratch/contents" \
        || { cat "$scratch/contents"; fail "the package lacks $path"; }
done
for program in ./usr/games/duelstar ./usr/lib/games/duelstar/duelstar; do
    grep -Eq "^-rwxr-xr-x root/root .* ${program//./\\.}\$" "$scratch/contents" || fail "$program is not executable"
done
files=$(grep -c '^-' "$scratch/contents")
[ "$files" -eq "${#expected[@]}" ] || { cat "$scratch/contents"; fail "$files files in the package, expected ${#expected[@]}"; }

tree="$scratch/tree"
dpkg-deb -x "$deb" "$tree"
diff -r "$DUELSTAR_SOURCE/images" "$tree/usr/share/games/duelstar/images" || fail "the packaged pictures differ from images/"
diff -r "$DUELSTAR_SOURCE/sounds" "$tree/usr/share/games/duelstar/sounds" || fail "the packaged sounds differ from sounds/"

# The manual page in the package names the package's own paths.
zcat "$tree/usr/share/man/man6/duelstar.6.gz" >"$scratch/duelstar.6"
for path in /usr/share/games/duelstar/images/ /usr/lib/games/duelstar/duelstar; do
    grep -q "^\.I ${path//./\\.}\$" "$scratch/duelstar.6" || fail "the packaged page does not name $path"
done
if grep -q "_CPack_Packages\|$DUELSTAR_DEB_DIR" "$scratch/duelstar.6"; then fail "the packaged page names the build folder"; fi

# The changelog is a Debian changelog of this version; the copyright file is
# machine-readable and holds the licence of LICENSE, word for word.
zcat "$tree/usr/share/doc/duelstar/changelog.gz" | sed -n 1p | grep -qx "duelstar ($DUELSTAR_VERSION) unstable; urgency=medium" \
    || fail "the changelog does not open with $DUELSTAR_VERSION"
copyright="$tree/usr/share/doc/duelstar/copyright"
head -n1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
    || fail "the copyright file is not machine-readable"
grep -qx 'License: MIT' "$copyright" || fail "the copyright file names no MIT licence"
licence_text() { awk 'on { print } prev == "" && $0 == "License: MIT" { on = 1 } { prev = $0 }' "$1"; }
diff <(licence_text "$copyright" | sed -e 's/^ //' -e 's/^\.$//') \
    <(tail -n +5 "$DUELSTAR_SOURCE/LICENSE") || fail "the licence text differs from LICENSE"
grep -q "^Copyright: .*$(sed -n 's/^Copyright (c) //p' "$DUELSTAR_SOURCE/LICENSE")\$" "$copyright" \
    || fail "the copyright file's holder differs from LICENSE"

# Debian's hardening: read-only relocations bound at start, stack protector
# and fortified calls.
program="$tree/usr/lib/games/duelstar/duelstar"
readelf -lW "$program" | grep GNU_RELRO >/dev/null || fail "the program has no RELRO"
readelf -dW "$program" | grep BIND_NOW >/dev/null || fail "the program is not bound at start (BIND_NOW)"
nm -D "$program" | grep __stack_chk_fail >/dev/null || fail "the program has no stack protector"
nm -D "$program" | grep '_chk@' >/dev/null || fail "the program has no fortified calls"
readelf -SW "$program" | grep '\.debug_' >/dev/null && fail "the program is not stripped"
echo "$files files, all expected ones present; hardened and stripped"
