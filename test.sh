#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite
# through CTest; fails when any test fails.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh test
jobs=$(nproc)

cmake -S . -B build -DBUILD_TESTING=ON >/dev/null
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")
