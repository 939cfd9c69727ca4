#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what a Debian 12 machine lacks to build, test, benchmark and fuzz
# Kolvane. Idempotent: it asks apt only when a package is missing, and it
# generates the German locale the number-format tests run under.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  locales binutils
  qt6-base-dev qt6-base-dev-tools libgl-dev libx11-dev
  xvfb xauth fonts-dejavu-core fonts-liberation2 imagemagick
  libcli11-dev nlohmann-json3-dev libxml2-utils
  # The number text of every build (header-only): fmt writes, fast_float reads.
  libfmt-dev libfast-float-dev
  # The desktop files: icons drawn at build time, the staged install's
  # validators and checks, and the screen-reader test over AT-SPI.
  librsvg2-bin appstream desktop-file-utils man-db file xdotool
  dbus-daemon at-spi2-core python3-pyatspi
  # The Windows build and its tests under Wine: the cross compiler and its
  # binutils (windres, objdump), Wine, and GoogleTest's sources for a cross
  # build (the program's icon is made with imagemagick, above).
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 googletest
  # The release files (scripts/release.sh) and their tests: dpkg-shlibdeps
  # for the package's Depends, lintian, NSIS for the Windows installer;
  # Python's zipfile writes and reads the zips.
  dpkg-dev lintian nsis python3
  # The ARM64 build and its tests: the cross compiler (with its C library)
  # and qemu-aarch64 to run the programs.
  g++-aarch64-linux-gnu qemu-user
  # The WebAssembly build: emscripten (with node), and acorn for its
  # JavaScript optimiser.
  emscripten node-acorn
  # The browser page's tests: Debian's Chromium, driven by playwright-core
  # from npm (installed by the web build with `npm ci`, no browser of its own).
  chromium
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing packages ${missing[*]}; run this script as root" >&2
    exit 1
  fi
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The settings file must be written with "." whatever the user's locale;
# the tests prove it under a German locale, which must therefore exist.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: locale de_DE.UTF-8 missing; run this script as root" >&2
    exit 1
  fi
  sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen >/dev/null
fi
