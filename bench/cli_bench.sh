#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# kolvane-calc as whole processes: a batch of 1,000,000 rows on the x87 long
# double and on TExtended (kolvane-calc-portable, the same program with the
# portable type forced), against `cat` of the same file (the floor: reading
# and writing alone), and the chart from 1 to 4000 mm in 1 mm steps. The
# programs run by turns, so that each meets the same load on a shared
# machine; prints the median of the runs, elapsed and CPU time (the steadier
# figure there).
# Usage: bench/cli_bench.sh [release build folder] [runs]
set -euo pipefail

build=${1:-build/release}
runs=${2:-5}
native=$build/cli/kolvane-calc
portable=$build/bench/kolvane-calc-portable
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

# The same jobs give the same bytes on both types.
cmp -s <("$native" --no-settings batch "$work/jobs.csv") \
  <("$portable" --no-settings batch "$work/jobs.csv") ||
  { echo "the two types' batch outputs differ" >&2; exit 1; }

# median <numbers...>
median() {
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

# Each measurement by name: its command, and the elapsed and CPU (user +
# system) seconds of every run.
names=(cat native portable chart)
declare -A command elapsed cpu
command[cat]="cat $work/jobs.csv"
command[native]="$native --no-settings batch $work/jobs.csv"
command[portable]="$portable --no-settings batch $work/jobs.csv"
command[chart]="$native --no-settings chart --from 1 --to 4000 --step 1"
for ((i = 0; i < runs; ++i)); do
  for name in "${names[@]}"; do
    # shellcheck disable=SC2086 # the command's words
    /usr/bin/time -f '%e %U %S' -o "$work/time" ${command[$name]} >/dev/null
    read -r e u s <"$work/time"
    elapsed[$name]+="$e "
    cpu[$name]+="$(awk -v u="$u" -v s="$s" 'BEGIN { print u + s }') "
  done
done

# report <name> <label>: the medians; sets E and C.
report() {
  # shellcheck disable=SC2086 # the runs' figures
  E=$(median ${elapsed[$1]})
  # shellcheck disable=SC2086
  C=$(median ${cpu[$1]})
  echo "$2: median elapsed $E s, median CPU $C s"
}
throughput() {
  awk -v rows="$rows" -v e="$E" -v c="$C" -v label="$1" 'BEGIN {
    printf "  %s throughput: %.0f rows/s elapsed, %.0f rows/s of CPU time (goal: 1000000)\n",
           label, rows / e, rows / c }'
}

report cat "cat of the $rows-row file"
report native "batch of $rows rows, x87 long double"
throughput "x87"
report portable "batch of $rows rows, TExtended"
throughput "TExtended"
report chart "chart 1..4000 mm, step 1 (goal: under 1 s)"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
