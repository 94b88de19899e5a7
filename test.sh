#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds everything and runs the whole test suite
# through CTest; fails when any test fails.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh test
jobs=$(nproc)

# Everything: unit, game, end-to-end in Xvfb, bad pictures, soak, memcheck, install,
# and the browser build in headless Chromium.
cmake -S . -B build -DBUILD_TESTING=ON >/dev/null
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")

# Again with AddressSanitizer and UndefinedBehaviorSanitizer: the unit tests,
# the game binary's own tests and the bad-picture runs, which fail on any report.
cmake -S . -B build-asan -DBUILD_TESTING=ON -DDUELSTAR_SANITIZE=ON >/dev/null
cmake --build build-asan -j "$jobs" --target duelstar unit_tests game_tests badpics_tests badpics_game flip_signal
(cd build-asan && ctest --output-on-failure -j "$jobs" -L "unit|game|badpics")
