#!/usr/bin/env bash
# Start-up of kolvane.exe against a bare Win32 window of the same size, both
# cross-built by the mingw preset and run under Wine on a virtual display:
# time from process creation to the first full show, and peak working set.
# Alternating runs; prints the medians and their ratios.
# Usage: bench/startup-wine.sh [rounds, default 21]
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-21}
build=build/mingw

median() { sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

run_all() {
  # One Wine server for every round, so that no run pays for starting it.
  WINEPREFIX="$PWD/$build/wineprefix" wineserver -p
  local out
  out=$(mktemp -d)
  "$build/wine-run" "$build/ui/win32/bare_window_win32.exe" >/dev/null  # warm-up
  for ((i = 0; i < rounds; i++)); do
    "$build/wine-run" "$build/ui/win32/kolvane_startup.exe" >>"$out/kolvane"
    "$build/wine-run" "$build/ui/win32/bare_window_win32.exe" >>"$out/bare"
  done
  WINEPREFIX="$PWD/$build/wineprefix" wineserver -k
  for program in kolvane bare; do
    echo "$program $(cut -d' ' -f1 "$out/$program" | median) $(cut -d' ' -f2 "$out/$program" | median)"
  done
  rm -rf "$out"
}
# The rounds themselves, on the virtual display.
if [ "${2:-}" = "--on-display" ]; then
  run_all
  exit
fi

cmake --preset mingw >/dev/null
cmake --build --preset mingw --target kolvane_startup bare_window_win32 >/dev/null
results=$(xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$rounds" --on-display)
read -r _ kolvane_ms kolvane_kb < <(grep '^kolvane' <<<"$results")
read -r _ bare_ms bare_kb < <(grep '^bare' <<<"$results")
echo "rounds: $rounds (medians)"
echo "first full show: kolvane.exe $kolvane_ms ms, bare window $bare_ms ms," \
  "ratio $(awk -v a="$kolvane_ms" -v b="$bare_ms" 'BEGIN {printf "%.2f", a / b}')"
echo "peak working set: kolvane.exe $kolvane_kb KiB, bare window $bare_kb KiB," \
  "ratio $(awk -v a="$kolvane_kb" -v b="$bare_kb" 'BEGIN {printf "%.2f", a / b}')"
