#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages a purpose needs ("play", "web" or "test"), and only
# those that are missing, so that a second run costs a dpkg query and no more.
set -euo pipefail

play_packages=(g++ cmake make pkg-config libsdl1.2-dev)
test_packages=("${play_packages[@]}" libgtest-dev libbenchmark-dev xvfb xdotool x11-utils
  valgrind libsdl1.2-compat desktop-file-utils appstream man-db imagemagick dpkg-dev
  xfonts-base xauth emscripten chromium)
# The browser build; the test runs also need node and npm (see below).
web_packages=(cmake make emscripten python3)

case "${1:-}" in
  play) wanted=("${play_packages[@]}") ;;
  web) wanted=("${web_packages[@]}") ;;
  test) wanted=("${test_packages[@]}") ;;
  *) echo "usage: $0 play|web|test" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
# Node and npm are looked for as commands: a nodejs package from elsewhere
# may carry its own npm, beside which Debian's npm package cannot install.
if [ "$1" = test ]; then
  command -v node >/dev/null || missing+=(nodejs)
  command -v npm >/dev/null || missing+=(npm)
fi
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
