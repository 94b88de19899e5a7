#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages a purpose needs ("play", "package", "web" or
# "test"), and only those that are missing, so that a second run costs a dpkg
# query and no more.
# With --list it prints them instead, one a line.
#
# Not root and no sudo: names the apt-get command to run as root, status 1.
# No apt at all: names the packages of other distributions, then succeeds if
# what the build needs is there (pkg-config's sdl, CMake, a C++17 compiler).
# The package manager's chatter goes to a log that is shown only on failure.
set -euo pipefail

play_packages=(g++ cmake make pkg-config libsdl1.2-dev libsdl-mixer1.2-dev libenet-dev)
# dpkg-dev: Debian's hardening flags and the package's dependencies; file:
# CPack's Debian generator reads the program's type with it.
package_packages=("${play_packages[@]}" dpkg-dev file)
# The browser build, and the static server web.sh starts.
web_packages=(cmake make emscripten python3)
# The browser tests also need node and npm (see below).
test_packages=(file "${play_packages[@]}" libgtest-dev libbenchmark-dev xvfb xdotool
  x11-utils valgrind libsdl1.2-compat desktop-file-utils appstream man-db imagemagick
  dpkg-dev lintian xfonts-base xauth emscripten chromium
  # The online tests' bad network is a Python program.
  python3
  # The big-endian run: a cross compiler for s390x, Debian's s390x packages
  # unpacked beside the build, and qemu-user to run what it builds.
  g++-s390x-linux-gnu mmdebstrap qemu-user)

# What the build needs, elsewhere.
fedora_packages=(gcc-c++ cmake make pkgconf-pkg-config SDL_mixer-devel sdl12-compat-devel enet-devel)
arch_packages=(gcc cmake make pkgconf sdl_mixer sdl12-compat enet)
opensuse_packages=(gcc-c++ cmake make pkgconf-pkg-config SDL_mixer-devel sdl12_compat-devel enet-devel)

list=no
if [ "${1:-}" = --list ]; then
  list=yes
  shift
fi
case "${1:-}" in
  play) wanted=("${play_packages[@]}") ;;
  package) wanted=("${package_packages[@]}") ;;
  web) wanted=("${web_packages[@]}") ;;
  test) wanted=("${test_packages[@]}") ;;
  *) echo "usage: $0 [--list] play|package|web|test" >&2; exit 2 ;;
esac
if [ "$list" = yes ]; then
  printf '%s\n' "${wanted[@]}"
  exit 0
fi

# A C++17 compiler, CMake and SDL 1.2 through pkg-config: enough to build.
can_build() {
  local cxx=${CXX:-c++}
  command -v cmake >/dev/null && pkg-config --exists sdl 2>/dev/null \
    && echo 'int main() { if constexpr (true) return 0; }' \
      | "$cxx" -std=c++17 -x c++ - -o /dev/null >/dev/null 2>&1
}

if ! command -v apt-get >/dev/null || ! command -v dpkg-query >/dev/null; then
  echo "No apt-get here: the game needs these packages (the test suite's tools are Debian's):"
  echo "  Fedora:   dnf install ${fedora_packages[*]}"
  echo "  Arch:     pacman -S --needed ${arch_packages[*]}"
  echo "  openSUSE: zypper install ${opensuse_packages[*]}"
  if can_build; then
    echo "A C++17 compiler, CMake and SDL 1.2 are there: building."
    exit 0
  fi
  echo "ERROR: a C++17 compiler, CMake or SDL 1.2 (pkg-config sdl) is missing"
  exit 1
fi

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

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "ERROR: missing packages; as root, run: apt-get install ${missing[*]}"
    exit 1
  fi
  as_root=(sudo)
fi
log=$(mktemp "${TMPDIR:-/tmp}/duelstar-install-deps.XXXXXX")
echo "Installing: ${missing[*]}"
if ! { "${as_root[@]}" apt-get update -qq \
  && "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"; } \
  >"$log" 2>&1 </dev/null; then
  cat "$log"
  echo "ERROR: apt-get could not install: ${missing[*]} (log: $log)"
  exit 1
fi
rm -f "$log"
