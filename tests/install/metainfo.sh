#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The software-centre description passes appstreamcli validate (no network)
# and points at the installed menu entry, the launcher and a screenshot.
source "$(dirname "$0")/common.sh"
need appstreamcli
need_stage

metainfo="$root/share/metainfo/$DUELSTAR_APP_ID.metainfo.xml"
appstreamcli validate --no-net --pedantic "$metainfo" >"$scratch/validate.log" 2>&1 \
    || { cat "$scratch/validate.log"; fail "appstreamcli rejects $metainfo"; }
cat "$scratch/validate.log"
# A clean pass: no error, warning, info or pedantic remark.
if grep -Eq '^[EWIP]: ' "$scratch/validate.log"; then fail "appstreamcli has remarks"; fi

grep -q "<id>$DUELSTAR_APP_ID</id>" "$metainfo" || fail "id is not $DUELSTAR_APP_ID"
launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")
[ -f "$root/share/applications/$launchable" ] || fail "launchable $launchable is not installed"
binary=$(sed -n 's:.*<binary>\(.*\)</binary>.*:\1:p' "$metainfo")
[ -x "$root/bin/$binary" ] || fail "provided binary $binary is not installed"
grep -Eq '<image>https://[^<]+\.png</image>' "$metainfo" || fail "no screenshot image"
grep -q '<release version="[0-9][^"]*"' "$metainfo" || fail "no release"
grep -q "<project_license>MIT</project_license>" "$metainfo" || fail "the project licence is not MIT"
