#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds the game and starts it from this folder,
# which holds the images/ it reads.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh play
cmake -S . -B build -DBUILD_TESTING=OFF >/dev/null
cmake --build build --target duelstar -j "$(nproc)" >/dev/null
exec ./build/duelstar
