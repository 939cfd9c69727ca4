#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# kolvane-calc as whole processes: a batch of 1,000,000 rows against `cat` of
# the same file (the floor: reading and writing alone), and the chart from 1
# to 4000 mm in 1 mm steps. Prints the median of several runs, elapsed and
# CPU time; on a shared machine the CPU time is the steadier figure.
# Usage: bench/cli_bench.sh [kolvane-calc] [runs]
set -euo pipefail

calc=${1:-build/release/cli/kolvane-calc}
runs=${2:-5}
rows=1000000
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Random jobs of both requests, some with a decimal comma in quotes.
awk -v rows="$rows" 'BEGIN {
  srand(1);
  print "feed-length,stroke-rate,request";
  for (i = 0; i < rows; ++i) {
    length_mm = sprintf("%.2f", 1 + rand() * 499);
    if (i % 10 == 0) { sub(/\./, ",", length_mm); length_mm = "\"" length_mm "\"" }
    printf "%s,%d,%s\n", length_mm, 5 + int(rand() * 1996), (i % 4 == 0 ? "timing" : "rate");
  }
}' >"$work/jobs.csv"

# median <numbers...>
median() {
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

# measure <label> <command...>: median elapsed and CPU (user + system) seconds.
measure() {
  local label=$1
  shift
  local elapsed=() cpu=()
  for ((i = 0; i < runs; ++i)); do
    /usr/bin/time -f '%e %U %S' -o "$work/time" "$@" >/dev/null
    read -r e u s <"$work/time"
    elapsed+=("$e")
    cpu+=("$(awk -v u="$u" -v s="$s" 'BEGIN { print u + s }')")
  done
  local me mc
  me=$(median "${elapsed[@]}")
  mc=$(median "${cpu[@]}")
  echo "$label: median elapsed $me s, median CPU $mc s"
  LAST_ELAPSED=$me
  LAST_CPU=$mc
}

measure "cat of the $rows-row file" cat "$work/jobs.csv"
measure "batch of $rows rows" "$calc" --no-settings batch "$work/jobs.csv"
awk -v rows="$rows" -v e="$LAST_ELAPSED" -v c="$LAST_CPU" 'BEGIN {
  printf "batch throughput: %.0f rows/s elapsed, %.0f rows/s of CPU time (goal: 1000000)\n",
         rows / e, rows / c }'
measure "chart 1..4000 mm, step 1 (goal: under 1 s)" "$calc" --no-settings chart --from 1 --to 4000 --step 1
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
