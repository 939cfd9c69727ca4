#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Pictures of the Windows window under Wine, for a look by eye: every page in
# both languages and a broken drive limit, at 96 and at 144 dpi.
# Usage: scripts/screenshots-wine.sh [output folder, default build/screenshots-wine]
# Builds the mingw preset's screenshot tool and runs it in a Wine prefix of
# its own (made once, beside the tests' prefix), whose dpi it sets.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/screenshots-wine}")
build=$PWD/build/mingw

cmake --preset mingw >/dev/null
cmake --build --preset mingw --target kolvane_screenshots_win32 >/dev/null
tool=$build/tests/kolvane_screenshots_win32.exe

export WINEPREFIX=$build/screenshots-prefix WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml='
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i
  wineserver -w
fi
# Windows' info colour for the result panels, as the tests' prefix has it
# (cmake/Wine.cmake).
wine reg add 'HKCU\Control Panel\Colors' /v InfoWindow /t REG_SZ /d '255 255 225' /f >/dev/null
mkdir -p "$out"
for dpi in 96 144; do
  wineserver -k 2>/dev/null || true
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
  wineserver -w
  mkdir -p "$out/$dpi"
  xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
    wine "$1" "$(winepath -w "$2")"; status=$?
    wineserver -w
    exit $status' sh "$tool" "$out/$dpi"
  for picture in "$out/$dpi"/*.bmp; do
    convert "$picture" "${picture%.bmp}.png" && rm "$picture"
  done
done
echo "screenshots in $out"
