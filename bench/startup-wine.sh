#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Start-up of kolvane.exe against three yardsticks, all cross-built by the
# mingw preset and run under Wine on a virtual display:
#   - a bare Win32 window of the same size;
#   - the same bare window that also loads what the program cannot start
#     without (common controls 6 with the program's manifest, the shell's
#     folder lookup);
#   - the fair floor (same_controls_win32): the same window with exactly the
#     controls the first show puts on the screen, its manifest, resources and
#     font, filled with fixed texts, and none of the program's own work.
# Time from process creation to the end of the first full show, and peak
# working set. Every program is started the same number of times, the order
# rotating from round to round; prints the medians and the ratios, and the
# machine's load before and after. Goal against the floor: at most 1.10 in
# time and 1.05 in memory.
# Usage: bench/startup-wine.sh [rounds, default 21] [--phases]
#   --phases: instead, where the time goes, phase by phase, in the program
#   (startup_phases_win32) and in the floor: the medians of each phase's end
#   since the process was created, on the clock and in processor time.
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-21}
build=build/mingw
programs=(kolvane_startup bare_window_win32 bare_window_win32_libraries same_controls_win32)

median() { sort -g | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

run_all() {
  # One Wine server for every round, so that no run pays for starting it.
  WINEPREFIX="$PWD/$build/wineprefix" wineserver -p
  local out count i j program
  out=$(mktemp -d)
  count=${#programs[@]}
  for program in "${programs[@]}"; do
    "$build/wine-run" "$build/bench/$program.exe" >/dev/null  # warm-up: the file cache
  done
  for ((i = 0; i < rounds; i++)); do
    for ((j = 0; j < count; j++)); do
      program=${programs[$(((i + j) % count))]}
      "$build/wine-run" "$build/bench/$program.exe" >>"$out/$program"
    done
  done
  WINEPREFIX="$PWD/$build/wineprefix" wineserver -k
  for program in "${programs[@]}"; do
    echo "$program $(cut -d' ' -f1 "$out/$program" | median) $(cut -d' ' -f2 "$out/$program" | median)"
  done
  rm -rf "$out"
}
# The phases of the program and the floor, rounds alternating; prints each
# phase's median end, in milliseconds since the process was created.
run_phases() {
  WINEPREFIX="$PWD/$build/wineprefix" wineserver -p
  local out i
  out=$(mktemp -d)
  "$build/wine-run" "$build/bench/startup_phases_win32.exe" >/dev/null
  "$build/wine-run" "$build/bench/same_controls_win32.exe" --phases >/dev/null
  for ((i = 0; i < rounds; i++)); do
    if ((i % 2 == 0)); then
      "$build/wine-run" "$build/bench/startup_phases_win32.exe" >>"$out/kolvane"
      "$build/wine-run" "$build/bench/same_controls_win32.exe" --phases >>"$out/floor"
    else
      "$build/wine-run" "$build/bench/same_controls_win32.exe" --phases >>"$out/floor"
      "$build/wine-run" "$build/bench/startup_phases_win32.exe" >>"$out/kolvane"
    fi
  done
  WINEPREFIX="$PWD/$build/wineprefix" wineserver -k
  for program in kolvane floor; do
    echo "$program: phase ended at (clock ms, processor ms since the process was created)"
    awk '{ t = $1; c = $2; $1 = ""; $2 = ""; print substr($0, 3) "\t" t "\t" c }' "$out/$program" |
      awk -F'\t' '{ if (!($1 in seen)) { seen[$1] = ++n; name[n] = $1 }
                     t[$1] = t[$1] " " $2; c[$1] = c[$1] " " $3 }
        END { for (i = 1; i <= n; i++) print t[name[i]] "\t" c[name[i]] "\t" name[i] }' |
      while IFS=$'\t' read -r times cpu phase; do
        printf '  %8.1f %8.1f  %s\n' "$(tr ' ' '\n' <<<"$times" | grep . | median)" \
          "$(tr ' ' '\n' <<<"$cpu" | grep . | median)" "$phase"
      done
  done
  rm -rf "$out"
}

# The rounds themselves, on the virtual display.
if [ "${2:-}" = "--on-display" ]; then
  run_all
  exit
fi
if [ "${2:-}" = "--phases-on-display" ]; then
  run_phases
  exit
fi
if [ "${2:-}" = "--phases" ]; then
  cmake --preset mingw >/dev/null
  cmake --build --preset mingw --target wineprefix startup_phases_win32 same_controls_win32 >/dev/null
  echo "rounds: $rounds (medians); load average before $(cut -d' ' -f1-3 /proc/loadavg)"
  xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$rounds" --phases-on-display
  echo "load average after $(cut -d' ' -f1-3 /proc/loadavg)"
  exit
fi

ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }

cmake --preset mingw >/dev/null
# The prefix too: a build folder that has only ever built these has none.
cmake --build --preset mingw --target wineprefix "${programs[@]}" >/dev/null
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
results=$(xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$rounds" --on-display)
load_after=$(cut -d' ' -f1-3 /proc/loadavg)
read -r _ kolvane_ms kolvane_kb < <(grep '^kolvane_startup ' <<<"$results")
read -r _ bare_ms bare_kb < <(grep '^bare_window_win32 ' <<<"$results")
read -r _ libs_ms libs_kb < <(grep '^bare_window_win32_libraries ' <<<"$results")
read -r _ floor_ms floor_kb < <(grep '^same_controls_win32 ' <<<"$results")
echo "rounds: $rounds (medians); load average before $load_before, after $load_after"
echo "first full show: kolvane.exe $kolvane_ms ms"
echo "  against the same controls  $floor_ms ms: ratio $(ratio "$kolvane_ms" "$floor_ms") (goal <= 1.10)"
echo "  against the bare window with the system libraries $libs_ms ms: ratio $(ratio "$kolvane_ms" "$libs_ms")"
echo "  against the bare window    $bare_ms ms: ratio $(ratio "$kolvane_ms" "$bare_ms")"
echo "peak working set: kolvane.exe $kolvane_kb KiB"
echo "  against the same controls  $floor_kb KiB: ratio $(ratio "$kolvane_kb" "$floor_kb") (goal <= 1.05)"
echo "  against the bare window with the system libraries $libs_kb KiB: ratio $(ratio "$kolvane_kb" "$libs_kb")"
echo "  against the bare window    $bare_kb KiB: ratio $(ratio "$kolvane_kb" "$bare_kb")"
