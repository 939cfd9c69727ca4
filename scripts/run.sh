#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Quick start on Debian 12 (as root): installs what is missing, builds the
# release preset and opens the window. Arguments go to the program, e.g.
#   bash scripts/run.sh /l:e
# KOLVANE_BUILD_DIR names another build folder than the preset's build/release.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${KOLVANE_BUILD_DIR:-build/release}

bash scripts/setup-debian.sh
cmake --preset release -B "$build" >/dev/null
cmake --build "$build" --target kolvane

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run: no display to open the window on (set DISPLAY, or start it with xvfb-run)" >&2
  exit 1
fi
exec "$build/ui/qt/kolvane" "$@"
