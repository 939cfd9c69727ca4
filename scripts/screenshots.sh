#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Pictures of the window for a look by eye: every page in both languages, a
# broken drive limit and a range message, at normal and at double density.
# Usage: scripts/screenshots.sh [output folder, default build/screenshots]
# Runs under xvfb-run with a throw-away data folder; builds the dev preset.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/screenshots}")

cmake --preset dev >/dev/null
cmake --build --preset dev --target kolvane_screenshots >/dev/null
tool=build/dev/tests/qt/kolvane_screenshots

data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
mkdir -p "$out"
export XDG_DATA_HOME=$data XDG_CONFIG_DIRS=$data/etc
xvfb-run -a -s "-screen 0 1280x1024x24" "$tool" "$out"
QT_SCALE_FACTOR=2 xvfb-run -a -s "-screen 0 1280x1024x24" "$tool" "$out/x2"
echo "screenshots in $out"
