#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# scripts/install-deps.sh on machines of every kind, made of stub commands on
# an otherwise empty PATH: root or not, with or without sudo, with apt or with
# no apt at all, with what the build needs or without. Each case checks the
# status, the exact output and the package-manager calls.
source "$(dirname "$0")/common.sh"

installer="$DUELSTAR_SOURCE/scripts/install-deps.sh"
bin="$scratch/bin"
calls="$scratch/calls"
mkdir -p "$bin"
for tool in bash env grep mktemp cat rm; do ln -s "$(command -v "$tool")" "$bin/$tool"; done

stub() {
    printf '#!%s\n%s\n' "$(command -v bash)" "$2" >"$bin/$1"
    chmod +x "$bin/$1"
}
# Installed: every package but those named in $STUB_MISSING.
stub dpkg-query 'for p in $STUB_MISSING; do [ "$p" = "${!#}" ] && exit 1; done; printf "install ok installed"'
stub id '[ "$1" = -u ] && echo "$STUB_UID"'
stub apt-get 'echo "apt-get $* [${DEBIAN_FRONTEND:-}]" >>"$STUB_CALLS"; echo "Reading package lists..."; exit "$STUB_APT_STATUS"'
stub sudo 'echo "sudo" >>"$STUB_CALLS"; exec "$@"'
stub pkg-config '[ "$*" = "--exists sdl" ] && exit "$STUB_SDL_STATUS"; exit 1'
stub cmake 'exit 0'
# It reads the program it is given, as a compiler does: a writer into a pipe
# nobody reads would die of SIGPIPE, now and then, and fail the pipeline.
stub c++ 'cat >/dev/null; exit "$STUB_CXX_STATUS"'
# Node and npm count as there by command, whichever package brought them.
stub node 'exit 0'
stub npm 'exit 0'
hide() { mv "$bin/$1" "$bin/$1.hidden"; }
show() { mv "$bin/$1.hidden" "$bin/$1"; }

# case <name> <purpose> <uid> <missing> <apt status> <sdl status> <c++ status>
#      <expected status> <expected output (a grep -x pattern per line, | between)>
#      <expected calls, | between>
check() {
    local name=$1 purpose=$2 uid=$3 missing=$4 apt=$5 sdl=$6 cxx=$7 want_status=$8 want_out=$9 want_calls=${10}
    : >"$calls"
    rm -f "$scratch"/duelstar-install-deps.*
    local status=0
    env -i PATH="$bin" STUB_UID="$uid" STUB_MISSING="$missing" STUB_APT_STATUS="$apt" \
        STUB_SDL_STATUS="$sdl" STUB_CXX_STATUS="$cxx" STUB_CALLS="$calls" TMPDIR="$scratch" \
        "$bin/bash" "$installer" "$purpose" >"$scratch/out" 2>&1 || status=$?
    [ "$status" -eq "$want_status" ] || { cat "$scratch/out"; fail "$name: status $status, not $want_status"; }
    local pattern lines=0
    IFS='|' read -ra patterns <<<"$want_out"
    for pattern in "${patterns[@]}"; do
        lines=$((lines + 1))
        sed -n "${lines}p" "$scratch/out" | grep -Eqx -- "$pattern" \
            || { cat "$scratch/out"; fail "$name: line $lines is not /$pattern/"; }
    done
    [ "$(wc -l <"$scratch/out")" -eq "$lines" ] || { cat "$scratch/out"; fail "$name: not $lines lines of output"; }
    [ "$(paste -sd'|' "$calls")" = "$want_calls" ] || fail "$name: calls '$(paste -sd'|' "$calls")', not '$want_calls'"
    # The package manager's log stays only when it failed.
    if [ "$status" -eq 0 ] && compgen -G "$scratch/duelstar-install-deps.*" >/dev/null; then
        fail "$name: the log of a good run is left behind"
    fi
    echo "$name: ok"
}

install_line='Installing: file lintian'
root_calls='apt-get update -qq []|apt-get install -y -qq file lintian [noninteractive]'
check "root, all there" test 0 "" 0 0 0 0 "" ""
check "root, two missing" test 0 "file lintian" 0 0 0 0 "$install_line" "$root_calls"
check "root, play needs no test tool" play 0 "file lintian" 0 0 0 0 "" ""
check "root, apt fails: its log is shown" test 0 "file" 100 0 0 1 \
    'Installing: file|Reading package lists\.\.\.|ERROR: apt-get could not install: file \(log: .*\)' \
    "apt-get update -qq []"
check "user with sudo" test 1000 "file lintian" 0 0 0 0 "$install_line" "sudo|${root_calls%%|*}|sudo|${root_calls#*|}"
hide node
hide npm
check "root, no node: Debian's nodejs and npm for the browser tests" test 0 "" 0 0 0 0 \
    'Installing: nodejs npm' \
    'apt-get update -qq []|apt-get install -y -qq nodejs npm [noninteractive]'
check "root, no node: play needs none" play 0 "" 0 0 0 0 "" ""
show node
show npm
hide sudo
check "user without sudo: the command to run as root" test 1000 "file lintian" 0 0 0 1 \
    'ERROR: missing packages; as root, run: apt-get install file lintian' ""
show sudo
hide apt-get
others='No apt-get here: .*|  Fedora:   dnf install .*sdl12-compat-devel enet-devel|  Arch:     pacman -S --needed .*sdl12-compat enet|  openSUSE: zypper install .*sdl12_compat-devel enet-devel'
check "no apt, all there: build" play 1000 "" 0 0 0 0 "$others|A C\+\+17 compiler, CMake and SDL 1\.2 are there: building\." ""
check "no apt, no SDL" play 1000 "" 0 1 0 1 "$others|ERROR: .*SDL 1\.2 \(pkg-config sdl\) is missing" ""
check "no apt, no C++17" play 1000 "" 0 0 1 1 "$others|ERROR: a C\+\+17 compiler.*" ""
hide cmake
check "no apt, no CMake" play 1000 "" 0 0 0 1 "$others|ERROR: .*CMake.*" ""
show cmake
show apt-get
