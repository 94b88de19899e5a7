#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the browser game: build-web.sh SOURCE_DIR BUILD_DIR. The set-up's
# output shows only when it fails.
set -euo pipefail
if ! log=$(emcmake cmake -S "$1" -B "$2" 2>&1); then
  echo "$log" >&2
  exit 1
fi
cmake --build "$2" -j "$(nproc)"
