#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# kolvane-calc as a real process: exit codes, the settings file read and never
# written, batches from a file and from standard input, and SVG pictures that
# are well-formed and render to something.
# Usage: cli_process_test.sh <kolvane-calc> <name of the check to run>
set -uo pipefail

calc=$1
check=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The user's settings live in a folder of this test only.
export XDG_DATA_HOME="$work/data" XDG_CONFIG_DIRS="$work/config"
mkdir -p "$XDG_CONFIG_DIRS"

source "$(dirname "$0")/support/checks.sh"

# expect_code <code> <what> <command...>: runs it, output in $work/out and $work/err.
expect_code() {
  local want=$1 what=$2
  shift 2
  "$@" >"$work/out" 2>"$work/err"
  local got=$?
  [ "$got" -eq "$want" ] || fail "$what: exit code $got, expected $want; stderr: $(cat "$work/err")"
}

contains() {  # contains <file> <text> <what>
  grep -qF -- "$2" "$1" || fail "$3: \"$2\" missing in: $(cat "$1")"
}

settings_file="$XDG_DATA_HOME/DVK/Common/NV-Data.kqn"
write_settings() {
  mkdir -p "$(dirname "$settings_file")"
  printf 'Non volatile data for Kolvane (Win)\r\n\r\n{021} hza = 800.0;\r\n{029} snq = 0;\r\n' >"$settings_file"
}

case $check in
exit_codes)
  expect_code 0 "version" "$calc" --version
  [ "$(cat "$work/out")" = "kolvane-calc 1.43" ] || fail "version text: $(cat "$work/out")"
  expect_code 0 "help" "$calc" --help
  contains "$work/out" "--feed-length MM" "help"
  expect_code 0 "a rate at the defaults" "$calc" --no-settings rate
  expect_code 2 "a feed length out of range" "$calc" --no-settings rate --feed-length 5000
  contains "$work/err" "Feed length:  0.01 to 4000 mm" "range hint"
  [ ! -s "$work/out" ] || fail "a refused value printed results"
  expect_code 2 "a German range hint" "$calc" --no-settings --lang de timing --accel 0
  contains "$work/err" "Beschleunigung:  0.01 bis 400 m/s²" "German range hint"
  expect_code 2 "an unknown option" "$calc" rate --no-such-option
  expect_code 2 "no command" "$calc"
  expect_code 2 "a batch file that is missing" "$calc" --no-settings batch "$work/missing.csv"
  expect_code 2 "an SVG that cannot be written" "$calc" --no-settings profile --svg "$work/no/dir/p.svg"
  ;;
settings)
  write_settings
  before=$(cd "$XDG_DATA_HOME" && find . -printf '%p %s %T@\n' | sort)
  expect_code 0 "rate from the settings file" "$calc" rate --format json
  contains "$work/out" '"accel_text": "52.9"' "800 strokes with linear ramps from the settings file"
  expect_code 0 "rate from the defaults" "$calc" --no-settings rate --format json
  contains "$work/out" '"accel_text": "0.75"' "the defaults"
  expect_code 0 "a batch" "$calc" batch - <<<"feed-length"$'\n'"10"
  after=$(cd "$XDG_DATA_HOME" && find . -printf '%p %s %T@\n' | sort)
  [ "$before" = "$after" ] || fail "the data folder changed: $before / $after"
  # Without a data folder nothing is created.
  rm -rf "$XDG_DATA_HOME"
  expect_code 0 "rate without a data folder" "$calc" rate
  [ ! -e "$XDG_DATA_HOME" ] || fail "kolvane-calc created the data folder"
  ;;
batch)
  printf '\xEF\xBB\xBFpart,feed-length,stroke-rate,request,accel\r\n"A, 1",10,100,,\r\nB,500,,timing,\r\n"C ""q""",20,"12,5",rate,\r\n' >"$work/good.csv"
  expect_code 0 "a good batch from a file" "$calc" --no-settings batch "$work/good.csv"
  cp "$work/out" "$work/from-file.csv"
  [ "$(wc -l <"$work/out")" -eq 4 ] || fail "good batch: $(wc -l <"$work/out") lines, expected 4"
  expect_code 0 "the same batch from standard input" "$calc" --no-settings batch - <"$work/good.csv"
  cmp -s "$work/out" "$work/from-file.csv" || fail "standard input and file give different output"
  contains "$work/out" '"C ""q""",20,"12,5",rate,' "quoted fields copied through"
  printf 'feed-length,stroke-rate\n10,100\n5000,100\n20,abc\n' >"$work/bad.csv"
  expect_code 1 "a batch with bad rows" "$calc" --no-settings batch "$work/bad.csv"
  [ "$(wc -l <"$work/out")" -eq 4 ] || fail "bad batch: rows lost"
  contains "$work/out" "Feed length:  0.01 to 4000 mm" "range hint in the error column"
  contains "$work/out" "not a number" "not a number in the error column"
  : >"$work/empty.csv"
  expect_code 0 "an empty batch" "$calc" --no-settings batch "$work/empty.csv"
  [ "$(wc -l <"$work/out")" -eq 1 ] || fail "empty batch: expected the header alone"
  ;;
svg)
  expect_code 0 "chart" "$calc" --no-settings chart --from 1 --to 400 --step 1 --svg "$work/chart.svg"
  expect_code 0 "chart, logarithmic" "$calc" --no-settings --lang de chart --from 0.5 --to 4000 --step 0.5 --log-x --svg "$work/log.svg"
  expect_code 0 "profile" "$calc" --no-settings profile --stroke-rate 150 --svg "$work/profile.svg"
  expect_code 0 "profile of a trapezoid" "$calc" --no-settings profile --feed-length 200 --stroke-rate 60 --sin2 off --svg "$work/trapezoid.svg"
  expect_code 0 "profile with the window raised" "$calc" --no-settings profile --stroke-rate 2000 --angle 10 --svg "$work/raised.svg"
  for picture in chart log profile trapezoid raised; do
    xmllint --noout "$work/$picture.svg" || fail "$picture.svg is not well-formed"
    rsvg-convert "$work/$picture.svg" -o "$work/$picture.png" || fail "$picture.svg does not render"
    colours=$(convert "$work/$picture.png" -format %k info: 2>/dev/null || echo 0)
    [ "${colours:-0}" -gt 3 ] || fail "$picture.png renders empty ($colours colours)"
  done
  ;;
*)
  fail "no check named $check"
  ;;
esac

[ "$failures" -eq 0 ]
