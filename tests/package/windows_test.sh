#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows installer and the portable zip as a user meets them, under Wine
# in a prefix of their own, made anew in <work folder>/wineprefix on each run
# (never ~/.wine): a silent installation; the installed kolvane.exe shows its
# window and, closed as Windows closes it, writes the settings file into
# ProgramData\DVK\Common; a silent uninstallation leaves no program file, no
# Start-menu entry and no Uninstall key, but the settings file. Then the zip's
# programs run from a temporary folder, and kolvane.exe keeps its settings
# beside itself where the shared folder cannot be made.
# Usage: windows_test.sh <installer> <zip> <version> <work folder>
set -uo pipefail
# Everything runs on one virtual display, which must outlive every Wine
# process (a Wine server whose display went away spins).
if [ "${1:-}" != --on-display ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" --on-display "$@"
fi
shift
installer=$(realpath "$1")
zip=$(realpath "$2")
version=$3
folder=$(realpath -m "$4")

source "$(dirname "$0")/../support/checks.sh"

rm -rf "$folder"
mkdir -p "$folder/home"
export WINEPREFIX=$folder/wineprefix WINEARCH=win64 WINEDEBUG=-all
# No Gecko or Mono download dialogs, and no menu entries on the Linux desktop
# for the shortcut the installer makes; Wine's links to the user's folders go
# into a home of the test's own.
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
export HOME=$folder/home XDG_CONFIG_HOME=$folder/home/.config XDG_DATA_HOME=$folder/home/.local/share
work=$(mktemp -d)
cleanup() {
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

wineboot -i >/dev/null 2>&1
wineserver -w

drive_c=$WINEPREFIX/drive_c
program_folder="$drive_c/Program Files/Kolvane"
start_menu_entry="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Kolvane.lnk"
settings_folder=$drive_c/ProgramData/DVK/Common
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kolvane'
title="Kolvane (Orbel) v$version"
# xdotool matches a regular expression: the title's ( ) and . taken literally.
title_pattern="^$(sed 's/[().]/\\&/g' <<<"$title")\$"

# registry_value <key> <name>: the value's data as reg prints it; fails when
# the key or the value is missing.
registry_value() {
  local listing
  listing=$(wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r') || return 1
  sed -n "s/^ *$2 \{2,\}REG_[A-Z_]* \{2,\}//p" <<<"$listing" | grep .
}

# open_and_close <program> <what>: starts the program, waits for its window,
# then closes it as Windows' task manager does (a close message to the
# window) and waits for the program to end.
open_and_close() {
  local program=$1 what=$2 pid
  wine "$program" >/dev/null 2>&1 &
  pid=$!
  if ! timeout 60 xdotool search --sync --onlyvisible --name "$title_pattern" >/dev/null 2>&1; then
    fail "$what: no window titled '$title' appeared"
  fi
  wine taskkill /im kolvane.exe >/dev/null 2>&1
  if ! timeout 60 tail --pid="$pid" -f /dev/null; then
    fail "$what: the program did not end when its window was closed"
    kill "$pid" 2>/dev/null
  fi
}

# ---- The installer ------------------------------------------------------------
wine "$installer" /S >/dev/null 2>&1 || fail "the silent installation exited with $?"
wineserver -w

installed=$(ls -A "$program_folder" 2>/dev/null | sort | tr '\n' ' ')
[ "$installed" = "LICENSE.txt README.txt kolvane-calc.exe kolvane.exe uninstall.exe " ] ||
  fail "the program folder holds: '$installed'"
[ -f "$start_menu_entry" ] || fail "no Start-menu entry Kolvane.lnk"
[ -d "$settings_folder" ] || fail "no settings folder ProgramData\\DVK\\Common"

check_value() { # <name> <expected data>
  local data
  data=$(registry_value "$uninstall_key" "$1") || { fail "no Uninstall value $1"; return; }
  [ "$data" = "$2" ] || fail "Uninstall value $1 is '$data', not '$2'"
}
check_value DisplayName Kolvane
check_value DisplayVersion "$version"
check_value Publisher 'The Kolvane authors'
check_value DisplayIcon 'C:\Program Files\Kolvane\kolvane.exe,0'
check_value UninstallString '"C:\Program Files\Kolvane\uninstall.exe"'
check_value QuietUninstallString '"C:\Program Files\Kolvane\uninstall.exe" /S'
# The size Apps shows, in KiB: at least the program itself.
size=$(registry_value "$uninstall_key" EstimatedSize) || fail "no Uninstall value EstimatedSize"
program_kib=$(($(stat -c %s "$program_folder/kolvane.exe") / 1024))
[ "$((${size:-0}))" -ge "$program_kib" ] || fail "EstimatedSize is '$size', below $program_kib KiB"

open_and_close 'C:\Program Files\Kolvane\kolvane.exe' "the installed program"
settings=$settings_folder/NV-Data.kqn
if [ ! -f "$settings" ]; then
  fail "the installed program wrote no settings file into ProgramData\\DVK\\Common"
else
  head -c 37 "$settings" | cmp -s - <(printf 'Non volatile data for Kolvane (Win)\r\n') ||
    fail "the settings file does not begin with its header: $(head -n 1 "$settings" | cat -A)"
  cp "$settings" "$work/settings"
fi
[ ! -e "$program_folder/NV-Data.kqn" ] || fail "the installed program wrote its settings beside itself"

# ---- The uninstaller ------------------------------------------------------------
wine 'C:\Program Files\Kolvane\uninstall.exe' /S >/dev/null 2>&1 ||
  fail "the silent uninstallation exited with $?"
# It goes on from a copy of itself in the temporary folder.
wineserver -w
[ ! -e "$program_folder" ] || fail "left behind: $(ls -A "$program_folder" | tr '\n' ' ')"
[ ! -e "$start_menu_entry" ] || fail "the Start-menu entry is still there"
registry_value "$uninstall_key" DisplayName >/dev/null && fail "the Uninstall key is still there"
if [ -f "$work/settings" ]; then
  cmp -s "$settings" "$work/settings" || fail "the settings file was removed or changed"
fi

# ---- The portable zip ---------------------------------------------------------------
portable=$work/Kolvane
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' \
  "$zip" "$portable"
unpacked=$(ls -A "$portable" | sort | tr '\n' ' ')
[ "$unpacked" = "LICENSE.txt README.txt kolvane-calc.exe kolvane.exe " ] ||
  fail "the zip holds: '$unpacked'"
out=$(wine "$portable/kolvane-calc.exe" --version 2>&1 | tr -d '\r')
[ "$out" = "kolvane-calc $version" ] || fail "the zip's kolvane-calc.exe --version says '$out'"
# The example of the README: 150 mm at 140 strokes a minute needs 22.8 m/s².
out=$(wine "$portable/kolvane-calc.exe" --no-settings rate --feed-length 150 --stroke-rate 140 \
  2>&1 | tr -d '\r')
grep -qE '^Acceleration \(peak\) +22\.8 m/s²$' <<<"$out" ||
  fail "the zip's kolvane-calc.exe rate printed: $out"

# A shared folder that cannot be made (a drive that does not exist): the
# program keeps its settings in its own folder.
machine_key='HKLM\Software\DVK-Dudivezava\R-MOX'
wine reg add "$machine_key" /v AllAppData /t REG_SZ /d 'Q:\nowhere' /f >/dev/null 2>&1 ||
  fail "reg add AllAppData"
open_and_close "$portable/kolvane.exe" "the zip's program"
[ -f "$portable/NV-Data.kqn" ] || fail "the zip's program wrote no settings file beside itself"
if [ -f "$settings" ]; then
  cmp -s "$settings" "$work/settings" || fail "the zip's program changed the shared settings file"
fi
wine reg delete "$machine_key" /f >/dev/null 2>&1

[ "$failures" -eq 0 ] && echo "Windows test passed"
[ "$failures" -eq 0 ]
