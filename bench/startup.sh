#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Start-up cost of the kolvane window against two yardsticks of the same
# size: a bare Qt window that draws no text, and the same window with one
# label, so that the text stack (fontconfig, fonts, shaping) counts on both
# sides. All three are started the same number of times, in rotating order,
# and each reports the end of its first full show (first frame painted).
# Prints the medians and the ratios, for the time from process start to that
# point and for the peak resident memory. Goal against the labelled window:
# at most 1.10x in time and 1.05x in memory; the bare window's ratios are
# kept for reference.
#
# Usage: bench/startup.sh [runs, default 21]
#   KOLVANE_BUILD_DIR  build folder of the release preset (default build/release)
#   BENCH_PLATFORM     xcb (default, under xvfb-run) or offscreen
set -euo pipefail

# Inside the display: the measured rounds, one line "<name> <ms> <KiB>" each.
if [ "${1:-}" = --rounds ]; then
  runs=$2 program=$3 bare=$4 launch=$5
  # One warm-up run each fills the file cache, then the rounds, rotating
  # which one starts first.
  "$launch" "$program" >/dev/null
  "$launch" "$bare" >/dev/null
  "$launch" "$bare" --label >/dev/null
  one() {
    case $1 in
      0) echo "kolvane $("$launch" "$program")" ;;
      1) echo "bare $("$launch" "$bare")" ;;
      2) echo "labelled $("$launch" "$bare" --label)" ;;
    esac
  }
  for ((i = 0; i < runs; i++)); do
    for ((j = 0; j < 3; j++)); do
      one $(((i + j) % 3))
    done
  done
  exit 0
fi

cd "$(dirname "$0")/.."
runs=${1:-21}
build=${KOLVANE_BUILD_DIR:-build/release}
platform=${BENCH_PLATFORM:-xcb}

cmake --preset release -B "$build" >/dev/null
cmake --build "$build" --target kolvane_startup bare_window startup_launch >/dev/null
program=$(realpath "$build/bench/kolvane_startup")
bare=$(realpath "$build/bench/bare_window")
launch=$(realpath "$build/bench/startup_launch")

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
awk -v tp="$(median kolvane 2)" -v tb="$(median bare 2)" -v tl="$(median labelled 2)" \
  -v mp="$(median kolvane 3)" -v mb="$(median bare 3)" -v ml="$(median labelled 3)" \
  -v runs="$runs" -v platform="$platform" 'BEGIN {
  printf "start-up to the end of the first full show, medians of %d runs each, %s platform\n", runs, platform
  printf "  time    kolvane %8.1f ms   labelled window %8.1f ms   ratio %.3f (goal <= 1.10)\n", tp, tl, tp / tl
  printf "  memory  kolvane %8d KiB  labelled window %8d KiB  ratio %.3f (goal <= 1.05)\n", mp, ml, mp / ml
  printf "  time    kolvane %8.1f ms   bare window     %8.1f ms   ratio %.3f (reference)\n", tp, tb, tp / tb
  printf "  memory  kolvane %8d KiB  bare window     %8d KiB  ratio %.3f (reference)\n", mp, mb, mp / mb
}'
