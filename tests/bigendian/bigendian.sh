#!/bin/sh
# SPDX-License-Identifier: MIT
# The big-endian run's steps, each a test of the CTest label "bigendian":
#   bigendian.sh root ROOT
#       unpacks Debian 12's s390x packages the cross build needs into ROOT,
#       once: later runs find them there
#   bigendian.sh build ROOT BUILD SOURCE TARGET...
#       cross-builds the targets for s390x against ROOT, in BUILD
#   bigendian.sh run BUILD CTEST-ARGUMENT...
#       runs the tests of the cross build that the arguments choose, each
#       program under qemu-user
# A step that cannot be done on this machine prints why and exits 77, which
# CTest reports as skipped; the later steps then skip with the same reason.
# A step that fails exits 1.
set -eu
SKIPPED=77
# What the cross build reads, and sdl12-compat to run it on both SDL 1.2s.
packages=libsdl1.2-dev,libsdl1.2-compat,libsdl-mixer1.2-dev,libenet-dev,libgtest-dev,libstdc++-12-dev

skip() {
  echo "SKIPPED: $(cat "$1")"
  exit $SKIPPED
}

step=$1
shift
case $step in
root)
  root=$1
  rm -f "$root.skipped"
  if [ "$(cat "$root/.packages" 2>/dev/null)" = "$packages" ]; then
    echo "the s390x root is already unpacked in $root"
    exit 0
  fi
  missing=""
  for tool in mmdebstrap s390x-linux-gnu-g++ qemu-s390x; do
    command -v "$tool" >/dev/null || missing="$missing $tool"
  done
  if [ -n "$missing" ]; then
    echo "no$missing on this machine (scripts/install-deps.sh test installs them)" >"$root.skipped"
    skip "$root.skipped"
  fi
  rm -rf "$root" "$root.partial"
  start=$(date +%s)
  # Unpacking alone runs no s390x program.
  if ! mmdebstrap --variant=extract --architectures=s390x --include="$packages" bookworm \
    "$root.partial" >"$root.log" 2>&1; then
    tail -n 20 "$root.log"
    rm -rf "$root.partial"
    echo "mmdebstrap could not unpack Debian's s390x packages (log: $root.log)" >"$root.skipped"
    skip "$root.skipped"
  fi
  # Its device nodes would stand in for this machine's own in the programs
  # qemu-user runs there.
  rm -rf "$root.partial/dev"
  echo "$packages" >"$root.partial/.packages"
  mv "$root.partial" "$root"
  echo "the s390x root unpacked in $(($(date +%s) - start)) s into $root"
  ;;
build)
  root=$1
  build=$2
  source=$3
  shift 3
  rm -f "$build.skipped"
  if [ -f "$root.skipped" ]; then
    cp "$root.skipped" "$build.skipped"
    skip "$build.skipped"
  fi
  start=$(date +%s)
  if ! { cmake -S "$source" -B "$build" -DBUILD_TESTING=ON -DDUELSTAR_SYSROOT="$root" \
    -DCMAKE_TOOLCHAIN_FILE="$source/tests/bigendian/s390x-toolchain.cmake" \
    && cmake --build "$build" -j 2 --target "$@"; } >"$build.log" 2>&1; then
    tail -n 40 "$build.log"
    echo "ERROR: the s390x build failed (log: $build.log)"
    exit 1
  fi
  echo "cross-built for s390x in $(($(date +%s) - start)) s: $*"
  ;;
run)
  build=$1
  shift
  if [ -f "$build.skipped" ]; then
    skip "$build.skipped"
  fi
  cd "$build"
  exec ctest --output-on-failure --no-tests=error -j 2 "$@"
  ;;
*)
  echo "usage: $0 root|build|run ..." >&2
  exit 2
  ;;
esac
