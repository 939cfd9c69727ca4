#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# CalcFeed's time per call for each calculation page on the x87 long double
# and on TExtended, side by side: calc_bench and calc_portable_bench of the
# release build, run by turns so that both meet the same load on a shared
# machine; the median of the runs, in CPU time (the steadier figure there).
# Usage: bench/calc_arithmetic.sh [build folder] [runs]
set -euo pipefail

build=${1:-build/release}
runs=${2:-7}

for ((i = 0; i < runs; ++i)); do
  for program in calc_bench calc_portable_bench; do
    "$build/bench/$program" --benchmark_format=csv 2>/dev/null | grep '^"BM_'
  done
done | awk -F, '
  {
    name = $1
    gsub(/"/, "", name)
    split(name, part, "/")
    if (!(part[1] in seen)) { seen[part[1]] = 1; order[++pages] = part[1] }
    key = part[1] SUBSEP part[2]
    times[key, ++count[key]] = $4
  }
  function median(key,    n, i, j, t, v) {
    n = count[key]
    for (i = 1; i <= n; ++i) { v[i] = times[key, i] }
    for (i = 2; i <= n; ++i) {
      t = v[i]
      for (j = i - 1; j >= 1 && v[j] > t; --j) { v[j + 1] = v[j] }
      v[j + 1] = t
    }
    return v[int((n + 1) / 2)]
  }
  END {
    printf "%-20s %12s %16s %7s\n", "ns per call", "x87", "TExtended", "ratio"
    for (i = 1; i <= pages; ++i) {
      p = order[i]
      native = median(p SUBSEP "x87")
      portable = median(p SUBSEP "TExtended")
      printf "%-20s %12.1f %16.1f %7.2f\n", p, native, portable, portable / native
    }
  }'
