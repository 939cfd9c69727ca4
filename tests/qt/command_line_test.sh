#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The kolvane program's answers that need no window: --help, -h and
# --version without any display and without a Qt platform, and one clear
# line with a non-zero exit code when there is no display to open.
# Usage: command_line_test.sh <kolvane program> <version>
set -uo pipefail
program=$1
version=$2
failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# No display at all; a Qt platform that does not exist would abort the
# program if any platform were loaded.
headless() {
  env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=no-such-platform \
    XDG_DATA_HOME="$work/data" XDG_CONFIG_DIRS="$work/config" "$program" "$@" \
    >"$work/out" 2>"$work/err"
}

headless --version
status=$?
[ "$status" -eq 0 ] || fail "--version exits with $status"
[ "$(cat "$work/out")" = "kolvane $version" ] || fail "--version prints '$(cat "$work/out")'"
[ ! -s "$work/err" ] || fail "--version writes to stderr: $(cat "$work/err")"

for option in --help -h; do
  headless $option
  status=$?
  [ "$status" -eq 0 ] || fail "$option exits with $status"
  [ ! -s "$work/err" ] || fail "$option writes to stderr: $(cat "$work/err")"
  for needed in 'Usage: kolvane' '/l:d' '/l:e' '--version' NV-Data.kqn R-MOX.conf AllAppData \
    XDG_CONFIG_DIRS XDG_DATA_HOME DISPLAY WAYLAND_DISPLAY 'kolvane(1)'; do
    grep -qF -- "$needed" "$work/out" || fail "$option does not mention $needed"
  done
  cp "$work/out" "$work/usage$option"
done
cmp -s "$work/usage--help" "$work/usage-h" || fail "-h and --help print different texts"

# Behind the language switch, as the switch reader ignores other words.
headless /l:e --help
[ $? -eq 0 ] && cmp -s "$work/out" "$work/usage--help" || fail "/l:e --help does not print the usage"

# No display: one line on stderr, exit code 1, no abort (134) and no core.
no_display() { # <case> <expected display text> <env...>
  local what=$1 shown=$2
  shift 2
  (cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" \
    XDG_DATA_HOME="$work/data" XDG_CONFIG_DIRS="$work/config" "$program" /l:e \
    >"$work/out" 2>"$work/err")
  local status=$?
  [ "$status" -eq 1 ] || fail "$what: exit code $status, not 1"
  local expected="kolvane: cannot open the display $shown; set DISPLAY or WAYLAND_DISPLAY"
  [ "$(cat "$work/err")" = "$expected" ] ||
    fail "$what: stderr is '$(cat "$work/err")', not the one line '$expected'"
  [ ! -s "$work/out" ] || fail "$what: writes to stdout: $(cat "$work/out")"
  ! ls "$work"/core* >/dev/null 2>&1 || fail "$what: left a core dump"
}
no_display "neither variable set" "(DISPLAY and WAYLAND_DISPLAY are not set)"
no_display "an X display that is not there" ":987" DISPLAY=:987
no_display "a Wayland display that is not there" "kolvane-none-9" \
  WAYLAND_DISPLAY=kolvane-none-9 XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=wayland

if [ "$failures" -ne 0 ]; then
  exit 1
fi
echo "command line test passed"
