#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds the browser game into build-web/ and serves
# what a host would publish, build-web/site/, on http://127.0.0.1:8000/ (or
# the port in PORT) until interrupted.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/quietly.sh
scripts/install-deps.sh web
quietly build-web/build.log web/tests/build-web.sh . build-web
# Debian's Python, which holds the aiohttp the installer put there; another
# python3 found first on PATH (a pyenv one, say) may not.
python=/usr/bin/python3
[ -x "$python" ] || python=python3
exec "$python" web/serve.py build-web/site "${PORT:-8000}"
