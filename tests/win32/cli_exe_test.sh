#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# kolvane-calc.exe as a real Windows process under Wine: a self-contained
# console program, its exit codes, file names beyond the ANSI code page, the
# settings file found through the registry and never written, and output
# byte for byte the same as the Linux build's for the same inputs.
# Usage: cli_exe_test.sh <wine-run> <objdump> <kolvane-calc.exe> <Linux kolvane-calc> <check>
# The Linux program may be missing (a cross build alone): the comparison is
# then skipped with exit code 77.
set -uo pipefail

wine=$1
objdump=$2
exe=$3
linux=$4
check=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

source "$(dirname "$0")/../support/checks.sh"

# run <what> <expected exit code> <arguments...>: kolvane-calc.exe with the
# arguments, standard input from $work/in; output in $work/out and $work/err.
run() {
  local what=$1 want=$2
  shift 2
  "$wine" "$exe" "$@" <"$work/in" >"$work/out" 2>"$work/err"
  local got=$?
  [ "$got" -eq "$want" ] || fail "$what: exit code $got, expected $want; stderr: $(cat "$work/err")"
}
: >"$work/in"

contains() { # contains <file> <text> <what>
  grep -qF -- "$2" "$1" || fail "$3: \"$2\" missing in: $(cat "$1")"
}

# A Linux path as a Windows program names it: Wine's Z: is the Linux root.
windows_path() {
  printf 'Z:%s' "${1//\//\\}"
}

good_batch() { # a BOM, CR LF, quoted fields with commas and quotes, both requests
  printf '\xEF\xBB\xBFpart,feed-length,stroke-rate,request,sin2\r\n"A, 1",10,100,,\r\nB,500,,timing,off\r\n"C ""q""",20,"12,5",rate,\r\nD,0.01,2000,timing,on\r\n' >"$1"
}

case $check in
exe)
  table=$("$objdump" -p "$exe")
  [ "$(sed -n 's/^Subsystem\s*[0-9a-f]*\s*//p' <<<"$table")" = "(Windows CUI)" ] ||
    fail "not a console program"
  imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$table")
  [ -n "$imports" ] || fail "no imports found; the table was not read"
  # The system's own DLLs only: a C++ runtime, libgcc or winpthread DLL would
  # have to be shipped beside the program.
  allowed='^(KERNEL32|USER32|SHELL32|ADVAPI32|OLE32|SHLWAPI|msvcrt|api-ms-win-crt-[a-z0-9-]+|ucrtbase)\.dll$'
  while read -r dll; do
    grep -Eiq "$allowed" <<<"$dll" || fail "imports $dll, which is not part of Windows"
  done <<<"$imports"
  ;;
exit_codes)
  run "version" 0 --version
  [ "$(tr -d '\r' <"$work/out")" = "kolvane-calc 1.43" ] || fail "version text: $(cat "$work/out")"
  run "a rate at the defaults" 0 --no-settings rate
  run "a feed length out of range" 2 --no-settings rate --feed-length 5000
  contains "$work/err" "Feed length:  0.01 to 4000 mm" "range hint"
  [ ! -s "$work/out" ] || fail "a refused value printed results"
  run "an unknown option" 2 rate --no-such-option
  # "/" is no option sign here: the name is taken as a file that is missing.
  run "a missing batch named from the root" 2 --no-settings batch /no-such-folder/jobs.csv
  contains "$work/err" "cannot read /no-such-folder/jobs.csv" "a file name starting with /"
  good_batch "$work/good.csv"
  run "a good batch" 0 --no-settings batch "$(windows_path "$work/good.csv")"
  printf 'feed-length,stroke-rate\r\n10,100\r\n5000,100\r\n20,abc\r\n' >"$work/bad.csv"
  run "a batch with bad rows" 1 --no-settings batch "$(windows_path "$work/bad.csv")"
  [ "$(grep -c $'\r$' "$work/out")" -eq 4 ] || fail "bad batch: rows lost or not ended by CR LF"
  ! grep -q $'\r\r' "$work/out" || fail "bad batch: CR LF written as CR CR LF"
  ;;
file_names)
  # Names that the ANSI code page cannot hold: the program reads the system's
  # UTF-16 command line.
  good_batch "$work/Maß €.csv"
  run "a batch whose name holds ß and €" 0 --no-settings batch "$work/Maß €.csv"
  [ "$(grep -c $'\r$' "$work/out")" -eq 5 ] || fail "batch by its UTF-8 name: $(cat "$work/out")"
  run "an SVG whose name holds ü and €" 0 --no-settings profile --svg "$work/Bild ü €.svg"
  [ -s "$work/Bild ü €.svg" ] || fail "the SVG was not written under its own name: $(ls "$work")"
  run "a missing file whose name holds €" 2 --no-settings batch "$work/fehlt €.csv"
  contains "$work/err" "fehlt €.csv" "the missing name in the message"
  ;;
settings)
  key='HKLM\Software\DVK-Dudivezava\R-MOX'
  trap '"$wine" reg delete "$key" /f >/dev/null 2>&1; rm -rf "$work"' EXIT
  set_all_app_data() {
    "$wine" reg add "$key" /v AllAppData /t REG_SZ /d "$1" /f >/dev/null 2>&1 ||
      fail "reg add AllAppData $1"
  }
  file="$work/shared/DVK/Common/NV-Data.kqn"
  mkdir -p "$(dirname "$file")"
  printf 'Non volatile data for Kolvane (Win)\r\n\r\n{021} hza = 800.0;\r\n{029} snq = 0;\r\n' >"$file"
  cp -p "$file" "$work/as-written"
  touch -d '2020-01-01 00:00' "$file"
  set_all_app_data "$(windows_path "$work/shared")"
  run "rate from the settings file" 0 rate --format json
  contains "$work/out" '"accel_text": "52.9"' "800 strokes with linear ramps from the settings file"
  cmp -s "$file" "$work/as-written" || fail "the settings file was changed"
  [ "$(stat -c %Y "$file")" = "$(date -d '2020-01-01 00:00' +%s)" ] || fail "the settings file was rewritten"
  [ "$(ls -A "$(dirname "$file")")" = "NV-Data.kqn" ] || fail "files added beside the settings file"
  run "rate from the defaults" 0 --no-settings rate --format json
  contains "$work/out" '"accel_text": "0.75"' "the defaults"
  set_all_app_data "$(windows_path "$work/missing")"
  run "rate with a data folder that is missing" 0 rate
  [ ! -e "$work/missing" ] || fail "kolvane-calc created the data folder"
  ;;
same_as_linux)
  if [ ! -x "$linux" ]; then
    echo "no Linux kolvane-calc at '$linux': build the dev preset first" >&2
    exit 77
  fi
  good_batch "$work/good.csv"
  printf 'feed-length,stroke-rate,request\r\n10,100,\r\n5000,100,rate\r\n20,abc,timing\r\n1,2,3,4\r\n' >"$work/bad.csv"
  # compare <what> <arguments...>: exit code and standard output of both.
  compare() {
    local what=$1
    shift
    "$linux" "$@" <"$work/in" >"$work/linux.out" 2>/dev/null
    local want=$?
    run "$what" "$want" "$@"
    cmp -s "$work/linux.out" "$work/out" ||
      fail "$what: the output differs from the Linux build's: $(diff <(cat -v "$work/linux.out") <(cat -v "$work/out") | head -n 8)"
  }
  for format in text csv json; do
    compare "rate as $format" --no-settings --format "$format" rate --feed-length 123.4 \
      --stroke-rate 250 --sin2 off --settle 0.01
    compare "rate over the limits as $format" --no-settings --format "$format" rate \
      --feed-length 4000 --stroke-rate 2000
    compare "German timing as $format" --no-settings --lang de --format "$format" timing \
      --feed-length 700 --accel 3.3 --speed-limit 45
    compare "chart as $format" --no-settings --format "$format" chart --from 0.5 --to 60 \
      --step 0.5 --max-accel 25
  done
  compare "a good batch from a file" --no-settings batch "$work/good.csv"
  cp "$work/good.csv" "$work/in"
  compare "a good batch from standard input" --no-settings batch -
  : >"$work/in"
  compare "a batch with bad rows" --no-settings batch "$work/bad.csv"
  compare "a value out of range" --no-settings rate --feed-length 5000
  for picture in "chart --from 1 --to 400 --step 1 --log-x" "profile --stroke-rate 150"; do
    # shellcheck disable=SC2086 # the words are the command and its options
    "$linux" --no-settings $picture --svg "$work/linux.svg" >/dev/null 2>&1 ||
      fail "Linux $picture"
    # shellcheck disable=SC2086
    run "$picture" 0 --no-settings $picture --svg "$work/windows.svg"
    cmp -s "$work/linux.svg" "$work/windows.svg" || fail "$picture: the SVG differs from the Linux build's"
  done
  ;;
*)
  fail "no check named $check"
  ;;
esac

[ "$failures" -eq 0 ]
