#!/usr/bin/env bash
# Start-up cost of the kolvane window against a bare Qt window of the same
# size: both are started the same number of times, alternating, and each
# reports the end of its first full show (first frame painted). Prints the
# medians and their ratios, for the time from process start to that point and
# for the peak resident memory. Goal: at most 1.2x in time, 1.15x in memory.
#
# Usage: bench/startup.sh [runs, default 21]
#   KOLVANE_BUILD_DIR  build folder of the release preset (default build/release)
#   BENCH_PLATFORM     xcb (default, under xvfb-run) or offscreen
set -euo pipefail

# Inside the display: the measured rounds, one line "<name> <ms> <KiB>" each.
if [ "${1:-}" = --rounds ]; then
  runs=$2 program=$3 bare=$4 launch=$5
  # One warm-up run each fills the file cache, then the rounds, alternating
  # which one starts first.
  "$launch" "$program" >/dev/null
  "$launch" "$bare" >/dev/null
  for ((i = 0; i < runs; i++)); do
    if ((i % 2 == 0)); then
      echo "kolvane $("$launch" "$program")"
      echo "bare $("$launch" "$bare")"
    else
      echo "bare $("$launch" "$bare")"
      echo "kolvane $("$launch" "$program")"
    fi
  done
  exit 0
fi

cd "$(dirname "$0")/.."
runs=${1:-21}
build=${KOLVANE_BUILD_DIR:-build/release}
platform=${BENCH_PLATFORM:-xcb}

cmake --preset release -B "$build" >/dev/null
cmake --build "$build" --target kolvane_startup bare_window startup_launch >/dev/null
program=$(realpath "$(find "$build" -type f -name kolvane_startup -perm -u+x | head -1)")
bare=$(realpath "$(find "$build" -type f -name bare_window -perm -u+x | head -1)")
launch=$(realpath "$(find "$build" -type f -name startup_launch -perm -u+x | head -1)")

# A data folder of its own: no settings of the user's are read or written.
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
mkdir -m 700 "$data/runtime"
export XDG_DATA_HOME=$data/share XDG_CONFIG_DIRS=$data/etc XDG_RUNTIME_DIR=$data/runtime

script=$(realpath "$0")
if [ "$platform" = offscreen ]; then
  results=$(QT_QPA_PLATFORM=offscreen bash "$script" --rounds "$runs" "$program" "$bare" "$launch")
else
  results=$(xvfb-run -a -s "-screen 0 1280x1024x24" \
    bash "$script" --rounds "$runs" "$program" "$bare" "$launch")
fi

median() { # <name> <column>
  awk -v name="$1" -v col="$2" '$1 == name { print $col }' <<<"$results" | sort -g |
    awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
time_program=$(median kolvane 2)
time_bare=$(median bare 2)
memory_program=$(median kolvane 3)
memory_bare=$(median bare 3)
awk -v tp="$time_program" -v tb="$time_bare" -v mp="$memory_program" -v mb="$memory_bare" \
  -v runs="$runs" -v platform="$platform" 'BEGIN {
  printf "start-up to the end of the first full show, %d runs each, %s platform\n", runs, platform
  printf "  time    kolvane %8.1f ms   bare window %8.1f ms   ratio %.3f (goal <= 1.2)\n", tp, tb, tp / tb
  printf "  memory  kolvane %8d KiB  bare window %8d KiB  ratio %.3f (goal <= 1.15)\n", mp, mb, mp / mb
}'
