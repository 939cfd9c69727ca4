#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Start-up of kolvane.exe against two yardsticks, all cross-built by the
# mingw preset and run under Wine on a virtual display: a bare Win32 window of
# the same size, and the same bare window that also loads what the program
# cannot start without (common controls 6 with the program's manifest, the
# shell's folder lookup). Time from process creation to the first full show,
# and peak working set. Alternating runs; prints the medians and the ratios.
# Usage: bench/startup-wine.sh [rounds, default 21]
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-21}
build=build/mingw
programs=(kolvane_startup bare_window_win32 bare_window_win32_libraries)

median() { sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

run_all() {
  # One Wine server for every round, so that no run pays for starting it.
  WINEPREFIX="$PWD/$build/wineprefix" wineserver -p
  local out program
  out=$(mktemp -d)
  "$build/wine-run" "$build/bench/bare_window_win32.exe" >/dev/null  # warm-up
  for ((i = 0; i < rounds; i++)); do
    for program in "${programs[@]}"; do
      "$build/wine-run" "$build/bench/$program.exe" >>"$out/$program"
    done
  done
  WINEPREFIX="$PWD/$build/wineprefix" wineserver -k
  for program in "${programs[@]}"; do
    echo "$program $(cut -d' ' -f1 "$out/$program" | median) $(cut -d' ' -f2 "$out/$program" | median)"
  done
  rm -rf "$out"
}
# The rounds themselves, on the virtual display.
if [ "${2:-}" = "--on-display" ]; then
  run_all
  exit
fi

ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }

cmake --preset mingw >/dev/null
# The prefix too: a build folder that has only ever built these has none.
cmake --build --preset mingw --target wineprefix "${programs[@]}" >/dev/null
results=$(xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$rounds" --on-display)
read -r _ kolvane_ms kolvane_kb < <(grep '^kolvane_startup ' <<<"$results")
read -r _ bare_ms bare_kb < <(grep '^bare_window_win32 ' <<<"$results")
read -r _ libs_ms libs_kb < <(grep '^bare_window_win32_libraries ' <<<"$results")
echo "rounds: $rounds (medians)"
echo "first full show: kolvane.exe $kolvane_ms ms, bare window $bare_ms ms" \
  "(ratio $(ratio "$kolvane_ms" "$bare_ms")), bare window with the system libraries" \
  "$libs_ms ms (ratio $(ratio "$kolvane_ms" "$libs_ms"))"
echo "peak working set: kolvane.exe $kolvane_kb KiB, bare window $bare_kb KiB" \
  "(ratio $(ratio "$kolvane_kb" "$bare_kb")), bare window with the system libraries" \
  "$libs_kb KiB (ratio $(ratio "$kolvane_kb" "$libs_kb"))"
