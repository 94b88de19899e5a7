#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The installer's "test" list brings every tool and library the test suite
# uses: each one's Debian package is on the list or comes with it (the list's
# dependencies and recommendations, which apt-get installs along).
source "$(dirname "$0")/common.sh"
need dpkg dpkg-query

# The commands the install tests check for, those the other suites run, and
# the build's own.
tools=(
    $(sed -n 's/^need \(.*\)/\1/p' "$(dirname "$0")"/*.sh | tr ' ' '\n' | sort -u)
    Xvfb xdotool valgrind xauth c++ cmake make pkg-config ctest
)
files=(/usr/include/gtest/gtest.h /usr/include/benchmark/benchmark.h /usr/include/SDL/SDL.h
    /usr/share/fonts/X11/misc/6x13.pcf.gz)
for compat in /usr/lib/*/sdl12-compat/libSDL-1.2.so.*; do files+=("$compat"); done
# Debian's own copy of each command, whatever else the PATH may find first.
for tool in "${tools[@]}"; do
    path=$(PATH=/usr/bin:/bin:/usr/sbin:/sbin command -v "$tool") || fail "$tool is not installed"
    files+=("$(readlink -f "$path")")
done

# Every package that installing the list brings on the smallest Debian
# (its essential and required packages): a walk over Depends, Pre-Depends and
# Recommends of the installed packages, virtual names standing for the
# packages that provide them.
dpkg-query -W -f='${Package}\t${Provides}\t${Pre-Depends}, ${Depends}, ${Recommends}\t${Essential}\t${Priority}\n' \
    >"$scratch/db"
"$DUELSTAR_SOURCE/scripts/install-deps.sh" --list test >"$scratch/list"
awk -F'\t' '
    function names(text, out,    n, i, parts) {
        gsub(/\([^)]*\)|:[a-z0-9]+|\[[^]]*\]/, "", text)
        n = split(text, parts, /[,|]/)
        for (i = 1; i <= n; i++) { gsub(/ /, "", parts[i]); if (parts[i] != "") out[parts[i]] = 1 }
    }
    FILENAME == ARGV[1] {
        deps[$1] = $3
        split("", p); names($2, p)
        for (v in p) providers[v] = providers[v] " " $1
        if ($4 == "yes" || $5 == "required") queue[++tail] = $1
        next
    }
    { queue[++tail] = $1 }
    END {
        while (head < tail) {
            name = queue[++head]
            if (name in seen) continue
            seen[name] = 1
            print name
            n = split(providers[name], prov, " ")
            for (i = 1; i <= n; i++) queue[++tail] = prov[i]
            split("", d); names(deps[name], d)
            for (x in d) queue[++tail] = x
        }
    }' "$scratch/db" "$scratch/list" | sort -u >"$scratch/brought"
echo "the list brings $(wc -l <"$scratch/brought") packages"

for file in "${files[@]}"; do
    [ -e "$file" ] || fail "$file is not installed"
    # With /bin merged into /usr/bin, dpkg may know a command by its /bin path.
    owner=$({ dpkg -S "$file" || dpkg -S "${file#/usr}"; } 2>/dev/null | head -n1 | cut -d: -f1) || true
    [ -n "$owner" ] || fail "no package owns $file"
    grep -qx -- "$owner" "$scratch/brought" || fail "$file comes from $owner, which the installer's test list does not bring"
    echo "$file: $owner"
done
