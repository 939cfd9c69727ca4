#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# kolvane-calc of another processor (ARM64 under qemu, WebAssembly under
# node) gives the very bytes of the x86-64 build's, whose calculation runs on
# the x87 unit: the README's examples, a batch of random jobs over the whole
# input ranges (both requests, sin² ramps on and off, values typed with up to
# five decimals, so that results land on and beside the display's rounding
# ties), the chart from 1 to 4000 mm in 1 mm steps and profile pictures.
# Usage: same_bytes_test.sh <kolvane-calc to check> <x86-64 kolvane-calc> [rows]
# The x86-64 program may be missing (a cross build alone): the comparison is
# then skipped with exit code 77.
set -uo pipefail

calc=$1
reference=$2
rows=${3:-100000}
if [ ! -x "$reference" ]; then
  echo "skipped: no x86-64 kolvane-calc at '$reference' to compare with;" \
    "build the dev preset first (bash scripts/test.sh dev)" >&2
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

source "$(dirname "$0")/support/checks.sh"

# compare <what> <arguments...>: exit code, standard output and standard
# error of both, and the SVG of each when the arguments write one to "$work/picture.svg".
compare() {
  local what=$1
  shift
  local program side
  for side in reference checked; do
    program=$reference
    [ "$side" = checked ] && program=$calc
    rm -f "$work/picture.svg"
    "$program" "$@" <"$work/in" >"$work/$side.out" 2>"$work/$side.err"
    echo $? >"$work/$side.code"
    [ -f "$work/picture.svg" ] && mv "$work/picture.svg" "$work/$side.svg"
  done
  local part
  for part in code out err svg; do
    [ -f "$work/reference.$part" ] || continue
    cmp -s "$work/reference.$part" "$work/checked.$part" ||
      fail "$what: the $part differs from the x86-64 build's:" \
        "$(diff <(cat -v "$work/reference.$part") <(cat -v "$work/checked.$part") | head -n 8)"
  done
  rm -f "$work"/reference.* "$work"/checked.*
}
: >"$work/in"

# The README's examples, all from the defaults.
compare "rate" --no-settings rate --feed-length 150 --stroke-rate 140
compare "timing as JSON" --no-settings timing --accel 12 --format json
compare "the logarithmic chart's SVG" --no-settings chart --from 1 --to 4000 --step 1 --log-x \
  --svg "$work/picture.svg"
compare "the profile's SVG" --no-settings profile --feed-length 150 --stroke-rate 140 \
  --svg "$work/picture.svg"
printf 'part,feed-length,stroke-rate,request,sin2\r\nA-1,150,140,rate,on\r\nB-2,"12,5",,timing,off\r\n' \
  >"$work/tools.csv"
compare "the tool list" --no-settings batch "$work/tools.csv"
cp "$work/tools.csv" "$work/in"
compare "the tool list in German from standard input" --no-settings --lang de batch -
: >"$work/in"

# The chart from 1 to 4000 mm in 1 mm steps: the texts as shown, and the
# stored numbers.
for format in text csv; do
  compare "the chart as $format" --no-settings --format "$format" chart --from 1 --to 4000 --step 1
done

# Profiles of a triangle, a trapezoid and a raised window, in both languages.
compare "a triangle's profile" --no-settings profile --stroke-rate 150 --svg "$work/picture.svg"
compare "a trapezoid's profile" --no-settings --lang de profile --feed-length 200 \
  --stroke-rate 60 --sin2 off --svg "$work/picture.svg"
compare "a raised window's profile" --no-settings profile --stroke-rate 2000 --angle 10 \
  --svg "$work/picture.svg"

# Random jobs over the whole input ranges; the same seed gives the same file
# to both programs. Now and then a value is left out (the defaults) or typed
# out of range (the range hint in the error column).
awk -v rows="$rows" 'BEGIN {
  srand(16);
  split("feed-length angle stroke-rate max-speed max-accel settle accel speed-limit", names, " ");
  split("0.01 10 5 0.1 0.01 0 0.01 0.1", low, " ");
  split("4000 350 2000 400 400 1 400 400", high, " ");
  line = "part";
  for (i = 1; i <= 8; ++i) { line = line "," names[i] }
  print line ",sin2,request";
  for (row = 1; row <= rows; ++row) {
    line = "J" row;
    for (i = 1; i <= 8; ++i) {
      r = rand();
      if (r < 0.03) { value = "" }
      else if (r < 0.04) { value = sprintf("%.2f", high[i] * 1.5) }
      else { value = sprintf("%." int(rand() * 6) "f", low[i] + rand() * (high[i] - low[i])) }
      if (value != "" && rand() < 0.1) { sub(/\./, ",", value); value = "\"" value "\"" }
      line = line "," value;
    }
    print line "," (rand() < 0.5 ? "on" : "off") "," (rand() < 0.5 ? "rate" : "timing");
  }
}' >"$work/jobs.csv"
compare "a batch of $rows random jobs" --no-settings batch "$work/jobs.csv"

[ "$failures" -eq 0 ]
