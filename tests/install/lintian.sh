#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# lintian --pedantic on the Debian package: no error and no warning, and every
# info or pedantic remark left is named in the README with its reason.
source "$(dirname "$0")/common.sh"
need lintian
debs=("$DUELSTAR_DEB_DIR"/duelstar_*.deb)
[ -f "${debs[0]}" ] || fail "no package in $DUELSTAR_DEB_DIR (the install.deb_build test makes it)"

status=0
lintian --info --pedantic "${debs[0]}" >"$scratch/lintian.log" 2>"$scratch/lintian.err" || status=$?
cat "$scratch/lintian.log"
if grep -Eq '^[EW]: ' "$scratch/lintian.log"; then fail "lintian reports errors or warnings"; fi
# lintian fails on errors only; any other failure is its own.
[ "$status" -eq 0 ] || { cat "$scratch/lintian.err"; fail "lintian ended with status $status"; }
for tag in $(sed -n 's/^[IP]: duelstar[^:]*: \([^ ]*\).*/\1/p' "$scratch/lintian.log" | sort -u); do
    grep -q "\`$tag\`" "$DUELSTAR_SOURCE/README.md" || fail "the README does not name lintian's $tag"
done
echo "lintian: no error, no warning"
