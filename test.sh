#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds everything and runs the whole test suite
# through CTest; fails when any test fails. Build output goes to build*/
# *.log and is shown only when a build fails; test failures show their output.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/quietly.sh
scripts/install-deps.sh test
jobs=$(nproc)

# Everything: unit, game, end-to-end in Xvfb, bad pictures, soak, memcheck, install,
# and the browser build in headless Chromium.
quietly build/configure.log cmake -S . -B build -DBUILD_TESTING=ON
quietly build/build.log cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")

# Again with AddressSanitizer and UndefinedBehaviorSanitizer: the unit tests,
# the game binary's own tests, the bad-picture runs and the generators, which
# fail on any report.
quietly build-asan/configure.log cmake -S . -B build-asan -DBUILD_TESTING=ON -DDUELSTAR_SANITIZE=ON
quietly build-asan/build.log cmake --build build-asan -j "$jobs" --target duelstar unit_tests \
  startup_tests game_tests quit_probe badpics_tests badpics_game flip_signal make_images \
  make_sounds
(cd build-asan && ctest --output-on-failure -j "$jobs" -L "unit|game|badpics|tools")
