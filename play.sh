#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds the game and starts it from this folder,
# which holds the images/ it reads; its arguments go to the game (--help).
set -euo pipefail
cd "$(dirname "$0")"
source scripts/quietly.sh
scripts/install-deps.sh play
quietly build/configure.log cmake -S . -B build -DBUILD_TESTING=OFF
quietly build/build.log cmake --build build --target duelstar -j "$(nproc)"
exec ./build/duelstar "$@"
