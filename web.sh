#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds the browser game into build-web/ and serves
# it on http://127.0.0.1:8000/ until interrupted.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/quietly.sh
scripts/install-deps.sh web
quietly build-web/build.log web/tests/build-web.sh . build-web
echo "Duelstar: open http://127.0.0.1:8000/ in a browser (Ctrl+C stops the server)"
# Python's server sends .wasm as application/wasm, which browsers insist on.
exec python3 -m http.server 8000 --bind 127.0.0.1 --directory build-web
