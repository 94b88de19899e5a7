#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The player's folder and the pictures of an install are never one folder:
# installed for one user (--prefix ~/.local), the pictures go elsewhere, and
# the launcher refuses an XDG_DATA_HOME that would make them one. Whatever an
# older install left in the player's folder (a link to its pictures, or a real
# images folder) never takes the place of this install's pictures: the game
# reads them, the link is made again and a real folder is kept aside. At the
# end the README's way to remove a source install removes every installed file.
#
# The install used here lacks one picture, while every leftover folder holds
# all of them: the game's error line for that picture shows that it read this
# install's pictures (with any other it would play on, on SDL's dummy driver).
source "$(dirname "$0")/common.sh"
need cmake timeout

home="$scratch/home"
mkdir -p "$home"
cmake --install "$DUELSTAR_BUILD" --prefix "$home/.local" >"$scratch/install.log" 2>&1 \
    || { cat "$scratch/install.log"; fail "cmake --install --prefix ~/.local failed"; }
launcher="$home/.local/bin/duelstar"
local_pictures="$home/.local/share/games/duelstar/images"
folder="$home/.local/share/duelstar"
[ -d "$local_pictures" ] || fail "no pictures at $local_pictures: $(cd "$home" && find . -name '*.bmp' | head -n1)"
[ ! -e "$folder" ] || fail "the install made the player's folder $folder"
cp "$DUELSTAR_BUILD/install_manifest.txt" "$scratch/install_manifest.txt"
broken=$(basename "$(ls "$local_pictures"/*.bmp | head -n1)")
rm "$local_pictures/$broken"

# A complete set of pictures, as an older install left them.
old_pictures() {
    mkdir -p "$1"
    cp "$DUELSTAR_SOURCE"/images/*.bmp "$1/"
    echo "old" >"$1/marker"
}

# run_launcher [env...]: starts the launcher from / with a clean environment.
run_launcher() {
    status=0
    (cd / && exec timeout 30 env -i PATH=/usr/bin:/bin HOME="$home" SDL_VIDEODRIVER=dummy "$@" \
        "$launcher" >"$scratch/out" 2>"$scratch/err") || status=$?
    [ ! -s "$scratch/err" ] || fail "unexpected standard error: $(cat "$scratch/err")"
}

expected="ERROR: GFX::loadbmp(): Couldn't open images/$broken"
expect_installed_pictures() {
    local case=$1
    [ "$status" -eq 1 ] || fail "$case: status $status, not 1 (output: $(cat "$scratch/out"))"
    [ "$(cat "$scratch/out")" = "$expected" ] || fail "$case: output '$(cat "$scratch/out")', not '$expected'"
    [ -L "$folder/images" ] && [ "$(readlink "$folder/images")" = "$local_pictures" ] \
        || fail "$case: images is not a link to $local_pictures: $(ls -l "$folder")"
    echo "$case: the game read $local_pictures"
}

# What stands in the player's folder before the launcher starts.
leftover_none() { :; }
leftover_link() {
    old_pictures "$scratch/older/images"
    mkdir -p "$folder"
    ln -s "$scratch/older/images" "$folder/images"
}
leftover_folder() { old_pictures "$folder/images"; }
leftover_folder_and_aside() {
    old_pictures "$folder/images"
    mkdir -p "$folder/images.old"
    echo "kept" >"$folder/images.old/marker"
    # An older install's real sounds folder is treated as its pictures are.
    mkdir -p "$folder/sounds"
    echo "old" >"$folder/sounds/marker"
}

for case in none link folder folder_and_aside; do
    rm -rf "$folder" "$scratch/older"
    "leftover_$case"
    run_launcher
    expect_installed_pictures "$case"
done
# The real folders are kept, with what they held.
[ "$(cat "$folder/images.old/marker")" = kept ] || fail "images.old was changed"
[ "$(cat "$folder/images.old.2/marker")" = old ] || fail "the old images folder is not kept as images.old.2"
[ "$(ls "$folder/images.old.2"/*.bmp | wc -l)" -eq "${#pictures[@]}" ] || fail "images.old.2 lost pictures"
[ "$(cat "$folder/sounds.old/marker")" = old ] || fail "the old sounds folder is not kept as sounds.old"
[ "$(readlink "$folder/sounds")" = "$(dirname "$local_pictures")/sounds" ] \
    || fail "sounds is not a link to the installed sounds: $(ls -l "$folder")"

# An XDG_DATA_HOME that makes the player's folder the installed data folder:
# one line, status 1, and the installed pictures left as they are.
before=$(ls -l "$local_pictures")
run_launcher XDG_DATA_HOME="$home/.local/share/games"
data_folder=$(dirname "$local_pictures")
[ "$status" -eq 1 ] || fail "coinciding folders: status $status, not 1"
[ "$(cat "$scratch/out")" = "ERROR: duelstar: the game folder $data_folder is the installed data folder; set XDG_DATA_HOME to another folder" ] \
    || fail "coinciding folders: output '$(cat "$scratch/out")'"
[ -d "$local_pictures" ] && [ ! -L "$local_pictures" ] && [ "$(ls -l "$local_pictures")" = "$before" ] \
    || fail "coinciding folders: the installed pictures were changed"
[ ! -e "$data_folder/images.old" ] || fail "coinciding folders: the installed pictures were moved aside"
echo "coinciding folders: refused"

# Removing the install leaves no installed file, and the player's folder.
xargs -d '\n' rm -f -- <"$scratch/install_manifest.txt"
left=$(find "$home/.local" -path "$folder" -prune -o ! -type d -print)
[ -z "$left" ] || fail "left after removing the install: $left"
[ -d "$folder/images.old" ] || fail "removing the install removed the player's folder"
echo "removed: $(wc -l <"$scratch/install_manifest.txt") installed files"
