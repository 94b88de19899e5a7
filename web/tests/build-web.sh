#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the browser game: build-web.sh SOURCE_DIR BUILD_DIR.
set -euo pipefail
emcmake cmake -S "$1" -B "$2" >/dev/null
cmake --build "$2" -j "$(nproc)"
