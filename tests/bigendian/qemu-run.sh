#!/bin/sh
# SPDX-License-Identifier: MIT
# qemu-run.sh ROOT PROGRAM [ARGUMENT...]: runs an s390x program under
# qemu-user with the loader and libraries of the unpacked root ROOT. The
# preloads and library paths meant for the program go to it alone: qemu itself
# is a program of this machine, which could load neither.
set -eu
root=$1
shift
set -- -L "$root" "$@"
if [ -n "${LD_PRELOAD:-}" ]; then
  set -- -E "LD_PRELOAD=$LD_PRELOAD" "$@"
  unset LD_PRELOAD
fi
if [ -n "${LD_LIBRARY_PATH:-}" ]; then
  set -- -E "LD_LIBRARY_PATH=$LD_LIBRARY_PATH" "$@"
  unset LD_LIBRARY_PATH
fi
exec qemu-s390x "$@"
