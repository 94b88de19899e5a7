#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# play.sh and test.sh keep the build's chatter in a log: nothing shows when a
# step succeeds; when one fails, its log shows and the script ends with
# status 1, before any later step.
source "$(dirname "$0")/common.sh"

step() {
    echo "chatter of $1"
    [ "$1" = good ]
}
status=0
(
    source "$DUELSTAR_SOURCE/scripts/quietly.sh"
    quietly "$scratch/logs/good.log" step good
    echo "after the good step"
    quietly "$scratch/logs/bad.log" step bad
    echo "after the bad step"
) >"$scratch/out" 2>&1 || status=$?

[ "$status" -eq 1 ] || fail "status $status, not 1"
expected="after the good step
chatter of bad
ERROR: failed: step bad (log: $scratch/logs/bad.log)"
[ "$(cat "$scratch/out")" = "$expected" ] || fail "output: $(cat "$scratch/out")"
[ "$(cat "$scratch/logs/good.log")" = "chatter of good" ] || fail "the good step's log holds '$(cat "$scratch/logs/good.log")'"
# Both scripts build through it.
for script in play.sh test.sh; do
    grep -q '^source scripts/quietly.sh$' "$DUELSTAR_SOURCE/$script" || fail "$script does not use quietly"
    if grep '^cmake' "$DUELSTAR_SOURCE/$script"; then fail "$script runs cmake without quietly"; fi
done
echo "a good step is silent; a bad one shows its log and ends with status 1"
