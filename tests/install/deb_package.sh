#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# cpack -G DEB builds the Debian package duelstar, in section games, depending
# on SDL 1.2's runtime, with the program, the launcher, the pictures, the menu
# entry, the icons, the manual page and the software-centre description.
source "$(dirname "$0")/common.sh"
need cpack dpkg-deb

(cd "$scratch" && cpack -G DEB --config "$DUELSTAR_BUILD/CPackConfig.cmake" -B "$scratch/out" \
    >"$scratch/cpack.log" 2>&1) || { cat "$scratch/cpack.log"; fail "cpack failed"; }
debs=("$scratch"/out/duelstar_*.deb)
[ "${#debs[@]}" -eq 1 ] && [ -f "${debs[0]}" ] || { cat "$scratch/cpack.log"; fail "no duelstar_*.deb"; }
deb=${debs[0]}
echo "built $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = duelstar ] || fail "Package: $(field Package)"
[ "$(field Section)" = games ] || fail "Section: $(field Section)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture: $(field Architecture)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Version)" ] || fail "no Version"
field Depends | grep -Eq '(^|, )libsdl1\.2debian( |,|$)' || fail "Depends lacks libsdl1.2debian: $(field Depends)"
description=$(field Description)
[[ "$description" == "two-player space duel for one keyboard"* ]] || fail "Description: $description"
[ "$(printf '%s\n' "$description" | wc -l)" -ge 2 ] || fail "no long description"
echo "Depends: $(field Depends)"

dpkg-deb --contents "$deb" >"$scratch/contents"
expected=(
    "./usr/bin/duelstar"
    "./usr/libexec/duelstar/duelstar"
    "./usr/share/applications/$DUELSTAR_APP_ID.desktop"
    "./usr/share/metainfo/$DUELSTAR_APP_ID.metainfo.xml"
    "./usr/share/man/man6/duelstar.6"
)
for picture in "${pictures[@]}"; do expected+=("./usr/share/duelstar/images/$picture"); done
for size in "${icon_sizes[@]}"; do expected+=("./usr/share/icons/hicolor/${size}x$size/apps/duelstar.png"); done
for path in "${expected[@]}"; do
    grep -Eq "^-[rwx-]{9} root/root +[0-9]+ [0-9-]+ [0-9:]+ ${path//./\\.}\$" "$scratch/contents" \
        || { cat "$scratch/contents"; fail "the package lacks $path"; }
done
for program in ./usr/bin/duelstar ./usr/libexec/duelstar/duelstar; do
    grep -Eq "^-rwxr-xr-x root/root .* ${program//./\\.}\$" "$scratch/contents" || fail "$program is not executable"
done
files=$(grep -c '^-' "$scratch/contents")
[ "$files" -eq "${#expected[@]}" ] || { cat "$scratch/contents"; fail "$files files in the package, expected ${#expected[@]}"; }

# The manual page in the package names the package's own paths.
dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/share/man/man6/duelstar.6 >"$scratch/duelstar.6"
grep -q '^\.I /usr/share/duelstar/images/$' "$scratch/duelstar.6" || fail "the packaged page does not name /usr/share/duelstar/images"
if grep -q "_CPack_Packages\|$scratch" "$scratch/duelstar.6"; then fail "the packaged page names the build folder"; fi
echo "$files files, all expected ones present"
