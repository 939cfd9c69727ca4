#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# CalcFeed's time per call for each calculation page on the x87 long double
# and on TExtended, side by side: calc_bench and calc_portable_bench of the
# release build, the median of several repetitions, in CPU time (the steadier
# figure on a shared machine).
# Usage: bench/calc_arithmetic.sh [build folder] [repetitions]
set -euo pipefail

build=${1:-build/release}
repetitions=${2:-5}

medians() {
  "$build/bench/$1" --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
    --benchmark_format=csv 2>/dev/null | grep '_median"'
}

{
  medians calc_bench
  medians calc_portable_bench
} | awk -F, '
  {
    name = $1
    gsub(/"/, "", name)
    sub(/_median$/, "", name)
    split(name, part, "/")
    if (!(part[1] in seen)) { seen[part[1]] = 1; order[++pages] = part[1] }
    ns[part[1], part[2]] = $4
  }
  END {
    printf "%-20s %12s %16s %7s\n", "ns per call", "x87", "TExtended", "ratio"
    for (i = 1; i <= pages; ++i) {
      p = order[i]
      printf "%-20s %12.1f %16.1f %7.2f\n", p, ns[p, "x87"], ns[p, "TExtended"], ns[p, "TExtended"] / ns[p, "x87"]
    }
  }'
