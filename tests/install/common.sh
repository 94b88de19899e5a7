# SPDX-License-Identifier: MIT
# Shared by the install tests (sourced by bash). CTest passes:
#   DUELSTAR_BUILD   the build folder
#   DUELSTAR_STAGE   the folder the game is installed into with DESTDIR
#   DUELSTAR_APP_ID  the desktop and software-centre identifier
#   DUELSTAR_SOURCE  the source folder
#   DUELSTAR_VERSION the version the build was configured with
#   DUELSTAR_DEB_DIR the folder the Debian package is made in
set -euo pipefail

: "${DUELSTAR_BUILD:?}" "${DUELSTAR_STAGE:?}" "${DUELSTAR_APP_ID:?}" "${DUELSTAR_SOURCE:?}" "${DUELSTAR_VERSION:?}"
prefix=/usr
root="$DUELSTAR_STAGE$prefix"
launcher="$root/bin/duelstar"
pictures_dir="$root/share/games/duelstar/images"
# The pictures installed are those of the source's images/ folder.
pictures=()
for picture in "$DUELSTAR_SOURCE"/images/*.bmp; do pictures+=("$(basename "$picture")"); done
sounds_dir="$root/share/games/duelstar/sounds"
# The sounds installed beside them are those of sounds/.
sounds=()
for sound in "$DUELSTAR_SOURCE"/sounds/*.wav; do sounds+=("$(basename "$sound")"); done
icon_sizes=(16 32 48 64 128 256)

fail() {
    echo "FAIL: $*"
    exit 1
}

need() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || fail "$tool is not installed"
    done
}

need_stage() {
    [ -x "$launcher" ] || fail "no staged install at $DUELSTAR_STAGE (the install.stage test makes it)"
}

# A private scratch folder, removed on exit along with whatever on_exit names.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/duelstar-install-test.XXXXXX")
exit_actions=()
on_exit() { exit_actions+=("$1"); }
run_exit_actions() {
    local action
    for action in "${exit_actions[@]}"; do
        eval "$action" || true
    done
    rm -rf "$scratch"
}
trap run_exit_actions EXIT

# Polls a command every tenth of a second until it succeeds or the time is up.
wait_for() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# Starts an Xvfb of its own on a display it picks itself (-displayfd: no race
# with other servers starting at the same time) and sets DISPLAY to it.
start_xvfb() {
    need Xvfb
    local fd_file="$scratch/xvfb.display"
    : >"$fd_file"
    Xvfb -displayfd 3 -screen 0 800x600x16 -nolisten tcp -noreset \
        3>"$fd_file" >"$scratch/xvfb.log" 2>&1 &
    xvfb_pid=$!
    on_exit "kill $xvfb_pid 2>/dev/null; wait $xvfb_pid 2>/dev/null"
    has_display() { [ -s "$fd_file" ] && grep -q '^[0-9][0-9]*$' "$fd_file"; }
    wait_for 30 has_display || { cat "$scratch/xvfb.log"; fail "Xvfb did not start"; }
    DISPLAY=":$(head -n1 "$fd_file")"
    export DISPLAY
}
