#!/bin/sh
# SPDX-License-Identifier: MIT
# generator_output.sh FOLDER COMMAND...: runs a generator of tools/ (COMMAND,
# given an empty folder as its last argument) and passes when it writes
# exactly the files of the committed FOLDER, byte for byte, and no others.
set -eu
committed=$1
shift
out=$(mktemp -d "${TMPDIR:-/tmp}/duelstar-generated.XXXXXX")
trap 'rm -rf "$out"' EXIT
"$@" "$out"

status=0
expected=$(cd "$committed" && ls)
written=$(cd "$out" && ls)
if [ "$expected" != "$written" ]; then
  echo "files differ: committed:" $expected "; written:" $written
  status=1
fi
for name in $expected; do
  [ -f "$out/$name" ] || continue
  if ! cmp -s "$committed/$name" "$out/$name"; then
    echo "$name: $(cmp -l "$committed/$name" "$out/$name" 2>/dev/null | wc -l) bytes differ" \
      "($(wc -c <"$committed/$name") committed, $(wc -c <"$out/$name") written)"
    status=1
  fi
done
[ $status -eq 0 ] && echo "$(echo "$expected" | wc -l) files as committed, byte for byte"
exit $status
