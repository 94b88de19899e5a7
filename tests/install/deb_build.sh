#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes the Debian package as its README says: a build of its own configured
# with DUELSTAR_DEBIAN, then cpack -G DEB. The package tests use it. A build
# without DUELSTAR_DEBIAN refuses to make one.
source "$(dirname "$0")/common.sh"
need cmake cpack dpkg-deb dpkg-buildflags file

if (cd "$DUELSTAR_BUILD" && cpack -G DEB -B "$scratch/refused" >"$scratch/refused.log" 2>&1); then
    fail "cpack made a package from a build without DUELSTAR_DEBIAN"
fi
grep -q "DUELSTAR_DEBIAN=ON" "$scratch/refused.log" || { cat "$scratch/refused.log"; fail "cpack refused without naming DUELSTAR_DEBIAN"; }

build="$DUELSTAR_DEB_DIR/build"
rm -rf "$DUELSTAR_DEB_DIR"
mkdir -p "$build"
run() {
    "$@" >>"$scratch/build.log" 2>&1 || { cat "$scratch/build.log"; fail "failed: $*"; }
}
run cmake -S "$DUELSTAR_SOURCE" -B "$build" -DDUELSTAR_DEBIAN=ON -DBUILD_TESTING=OFF
run cmake --build "$build" --target duelstar -j "$(nproc)"
run sh -c 'cd "$1" && cpack -G DEB' cpack "$build"
debs=("$build"/duelstar_*.deb)
[ "${#debs[@]}" -eq 1 ] && [ -f "${debs[0]}" ] || { cat "$scratch/build.log"; fail "no duelstar_*.deb"; }
mv "${debs[0]}" "$DUELSTAR_DEB_DIR/"
# The program is built warning-free with Debian's flags as well.
if grep -q 'warning:' "$scratch/build.log"; then grep 'warning:' "$scratch/build.log"; fail "the build warns"; fi
echo "made $(basename "${debs[0]}")"
