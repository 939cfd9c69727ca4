#!/usr/bin/env bash
# Runs a Windows test program of the build under Wine on a virtual display,
# with D: mapped to a temporary folder for as long as it runs.
# Usage: run_under_wine.sh <build folder> <program> [arguments...]
set -euo pipefail
build=$1
shift
prefix="$build/wineprefix"
# Wine picks its display once per server: a server that a test without a
# display started must be gone before the window's tests start their own.
WINEPREFIX="$prefix" wineserver -w
drive=$(mktemp -d)
link="$prefix/dosdevices/d:"
# Another run's mapping may still be there; each run brings its own folder.
rm -f "$link"
ln -s "$drive" "$link"
cleanup() {
  rm -f "$link"
  rm -rf "$drive"
}
trap cleanup EXIT
# The display must outlive every Wine process of the run (the desktop
# process among them): a Wine server whose display went away spins.
xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
  "$0" "$@"; status=$?
  WINEPREFIX="$(dirname "$0")/wineprefix" wineserver -w
  exit $status' "$build/wine-run" "$@"
