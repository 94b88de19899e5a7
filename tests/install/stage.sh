#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the build into a fresh staging folder, as a distribution would:
# DESTDIR=<stage> cmake --install <build> --prefix /usr; the other install
# tests use that tree.
source "$(dirname "$0")/common.sh"
need cmake

rm -rf "$DUELSTAR_STAGE"
DESTDIR="$DUELSTAR_STAGE" cmake --install "$DUELSTAR_BUILD" --prefix "$prefix" >"$scratch/install.log" \
    || { cat "$scratch/install.log"; fail "cmake --install failed"; }

expected=(
    bin/duelstar
    libexec/duelstar/duelstar
    "share/applications/$DUELSTAR_APP_ID.desktop"
    "share/metainfo/$DUELSTAR_APP_ID.metainfo.xml"
    share/man/man6/duelstar.6
    share/doc/duelstar/copyright
    share/doc/duelstar/changelog
)
for picture in "${pictures[@]}"; do expected+=("share/games/duelstar/images/$picture"); done
for sound in "${sounds[@]}"; do expected+=("share/games/duelstar/sounds/$sound"); done
for size in "${icon_sizes[@]}"; do expected+=("share/icons/hicolor/${size}x$size/apps/duelstar.png"); done

for file in "${expected[@]}"; do
    [ -f "$root/$file" ] || fail "not installed: $prefix/$file"
done
for program in bin/duelstar libexec/duelstar/duelstar; do
    [ -x "$root/$program" ] || fail "not executable: $prefix/$program"
done
# The pictures are the source's own, byte for byte.
diff -r "$DUELSTAR_SOURCE/images" "$pictures_dir" || fail "the installed pictures differ from images/"
diff -r "$DUELSTAR_SOURCE/sounds" "$sounds_dir" || fail "the installed sounds differ from sounds/"
# One version: the launcher tells the one the build was made with.
[ "$("$root/bin/duelstar" --version)" = "duelstar $DUELSTAR_VERSION" ] || fail "--version says '$("$root/bin/duelstar" --version)'"
grep -q "<release version=\"$DUELSTAR_VERSION\"" "$root/share/metainfo/$DUELSTAR_APP_ID.metainfo.xml" || fail "the metainfo does not name $DUELSTAR_VERSION"
grep -q "^\.TH DUELSTAR 6 .* \"Duelstar $DUELSTAR_VERSION\"" "$root/share/man/man6/duelstar.6" || fail "the manual page does not name $DUELSTAR_VERSION"
grep -q "^## $DUELSTAR_VERSION (" "$root/share/doc/duelstar/changelog" || fail "the changelog has no $DUELSTAR_VERSION"
# Nothing lands outside the prefix, and nothing unexpected inside it.
outside=$(cd "$DUELSTAR_STAGE" && find . -mindepth 1 -maxdepth 1 ! -name "${prefix#/}")
[ -z "$outside" ] || fail "installed outside $prefix: $outside"
count=$(find "$root" -type f | wc -l)
[ "$count" -eq "${#expected[@]}" ] || fail "installed $count files, expected ${#expected[@]}: $(cd "$root" && find . -type f | sort)"
# The launcher is a POSIX shell script and says so.
[ "$(head -n1 "$root/bin/duelstar")" = "#!/bin/sh" ] || fail "bin/duelstar does not start with #!/bin/sh"
sh -n "$root/bin/duelstar" || fail "bin/duelstar is not valid sh"
echo "staged ${#expected[@]} files under $DUELSTAR_STAGE$prefix"
