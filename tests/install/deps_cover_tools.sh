#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Each of the installer's lists brings every tool and library its purpose
# uses: "test" all that the test suite runs, "package" what making the Debian
# package runs, "play" the build's. Each one's Debian package is on the list
# or comes with it (the list's dependencies and recommendations, which
# apt-get installs along, or the essential and required packages that even
# the smallest Debian holds).
source "$(dirname "$0")/common.sh"
need dpkg dpkg-query

dpkg-query -W -f='${Package}\t${Provides}\t${Pre-Depends}, ${Depends}, ${Recommends}\t${Essential}\t${Priority}\n' \
    >"$scratch/db"

# covers <purpose> <command or file>...: every command (Debian's own copy,
# whatever else the PATH may find first) and file comes from a package that
# the purpose's list brings.
covers() {
    local purpose=$1 item path file owner
    shift
    "$DUELSTAR_SOURCE/scripts/install-deps.sh" --list "$purpose" >"$scratch/list"
    # A walk over the installed packages' dependencies, virtual names
    # standing for the packages that provide them.
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
    for item in "$@"; do
        if [[ "$item" == /* ]]; then
            file=$item
        else
            path=$(PATH=/usr/bin:/bin:/usr/sbin:/sbin command -v "$item") || fail "$item is not installed"
            file=$(readlink -f "$path")
        fi
        [ -e "$file" ] || fail "$file is not installed"
        # With /bin merged into /usr/bin, dpkg may know a command by its /bin path.
        owner=$({ dpkg -S "$file" || dpkg -S "${file#/usr}"; } 2>/dev/null | head -n1 | cut -d: -f1) || true
        [ -n "$owner" ] || fail "no package owns $file"
        grep -qx -- "$owner" "$scratch/brought" \
            || fail "$item comes from $owner, which the installer's $purpose list does not bring"
    done
    echo "$purpose: $# commands and files, all brought by its $(wc -l <"$scratch/list") packages"
}

# The commands a script of this folder checks for with need.
needed_by() { sed -n 's/^need \(.*\)/\1/p' "$@" | tr ' ' '\n' | sort -u; }

build=(c++ cmake make pkg-config /usr/include/SDL/SDL.h /usr/include/SDL/SDL_mixer.h)
covers play "${build[@]}"
covers package "${build[@]}" $(needed_by "$(dirname "$0")/deb_build.sh")
sdl12_compat=(/usr/lib/*/sdl12-compat/libSDL-1.2.so.*)
covers test "${build[@]}" $(needed_by "$(dirname "$0")"/*.sh) ctest Xvfb xdotool valgrind xauth \
    /usr/include/gtest/gtest.h /usr/include/benchmark/benchmark.h \
    /usr/share/fonts/X11/misc/6x13.pcf.gz "${sdl12_compat[@]}" \
    s390x-linux-gnu-g++ mmdebstrap qemu-s390x setpriv
