#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A staged install as a distribution makes it (DESTDIR, prefix /usr): every
# file lands in its standard place under the one application id, the desktop
# entry and the AppStream metadata pass their validators, and the installed
# program opens its window under that id and reads its fallback settings
# file "NV-Data.kqx" from its own folder.
# Usage: install_test.sh <build dir> <close_window tool> <source dir>
set -euo pipefail
build=$1
closer=$2
source=$3
id=org.kolvane.Kolvane

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
stage=$work/stage
prefix=$stage/usr

DESTDIR=$stage cmake --install "$build" --prefix /usr --component kolvane >/dev/null

failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

expected=(bin/kolvane share/applications/$id.desktop share/metainfo/$id.metainfo.xml
  share/man/man1/kolvane.1 share/icons/hicolor/scalable/apps/$id.svg
  share/doc/kolvane/LICENSE share/doc/kolvane/CHANGELOG.md
  bin/kolvane-calc share/man/man1/kolvane-calc.1)
for size in 16 24 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${size}x$size/apps/$id.png")
done
for file in "${expected[@]}"; do
  [ -f "$prefix/$file" ] || fail "not installed: $file"
done
[ -x "$prefix/bin/kolvane" ] || fail "bin/kolvane is not executable"
"$prefix/bin/kolvane-calc" --version >/dev/null || fail "bin/kolvane-calc does not run"
# Nothing lands outside the prefix.
outside=$(find "$stage" -mindepth 1 -maxdepth 1 ! -name usr)
[ -z "$outside" ] || fail "installed outside /usr: $outside"

# Each icon is a PNG of its nominal size.
for size in 16 24 32 48 64 128 256; do
  png=$prefix/share/icons/hicolor/${size}x$size/apps/$id.png
  [ -f "$png" ] || continue
  shape=$(file -b "$png")
  [[ "$shape" == "PNG image data, $size x $size, 8-bit/color RGBA"* ]] ||
    fail "the ${size} pixel icon is '$shape'"
done

# The validators report nothing. AppStream's one pedantic hint about the
# capital letter of the id is the price of the id that desktops match
# against the desktop file name and the window class; any other finding fails.
desktop_report=$(desktop-file-validate "$prefix/share/applications/$id.desktop" 2>&1) ||
  fail "desktop-file-validate failed"
[ -z "$desktop_report" ] || fail "desktop-file-validate reports: $desktop_report"
appstream_report=$(appstreamcli validate --pedantic --no-net --no-color \
  "$prefix/share/metainfo/$id.metainfo.xml" 2>&1) || fail "appstreamcli validate failed"
findings=$(grep -E '^[EWIP]: ' <<<"$appstream_report" |
  grep -vxF "P: $id:4: cid-contains-uppercase-letter $id" || true)
[ -z "$findings" ] || fail "appstreamcli validate --pedantic reports: $findings"
tree_report=$(appstreamcli validate-tree --pedantic --no-net --no-color "$stage/usr" 2>&1) ||
  fail "appstreamcli validate-tree failed: $tree_report"
findings=$(grep -E '^[EWIP]: ' <<<"$tree_report" | grep -v 'cid-contains-uppercase-letter' || true)
[ -z "$findings" ] || fail "appstreamcli validate-tree --pedantic reports: $findings"

# One id everywhere: the desktop entry's icon and window class, AppStream's
# id and launchable.
desktop=$prefix/share/applications/$id.desktop
grep -qx "Icon=$id" "$desktop" || fail "the desktop entry's icon is not $id"
grep -qx "StartupWMClass=$id" "$desktop" || fail "the desktop entry's window class is not $id"
metainfo=$prefix/share/metainfo/$id.metainfo.xml
grep -q "<id>$id</id>" "$metainfo" || fail "the AppStream id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "the AppStream launchable is not $id.desktop"

# The manual page formats without a warning.
man_warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/kolvane.1" 2>&1 >/dev/null)
[ -z "$man_warnings" ] || fail "the manual page: $man_warnings"

# The AppStream release notes of this version are the changelog's entry.
version=$(grep -o 'release version="[^"]*"' "$metainfo" | head -1 | cut -d'"' -f2)
entry=$(awk -v v="$version" '$0 ~ "^## \\[" v "\\]" { on = 1; next } /^## / { on = 0 } on' \
  "$source/CHANGELOG.md" | sed -n 's/^- //p')
notes=$(sed -n "/release version=\"$version\"/,/<\/release>/p" "$metainfo" |
  sed -n 's/^ *<li>\(.*\)<\/li>$/\1/p' | sed 's/&lt;/</g; s/&gt;/>/g; s/&amp;/\&/g')
[ -n "$entry" ] || fail "CHANGELOG.md has no entry for $version"
[ "$entry" = "$notes" ] || fail "the AppStream release notes of $version differ from CHANGELOG.md"

# A fallback beside the program with an English language and a stroke rate
# of 250; no settings file in the data folder yet.
printf 'Non volatile data for Kolvane (Win)\r\n\r\n{900} lan = 1;\r\n{021} hza = 250.0;\r\n' \
  >"$prefix/bin/NV-Data.kqx"
cp "$prefix/bin/NV-Data.kqx" "$work/fallback"
mkdir -p "$work/config" "$work/data"

# Start the installed program, find its window by the id as its class, close
# it as a window manager would, and let it write its settings file into the
# (temporary) data folder.
XDG_CONFIG_DIRS=$work/config XDG_DATA_HOME=$work/data HOME=$work \
  bash "$(dirname "$0")/in_display.sh" bash -c '"$1" & program=$!
    timeout 30 xdotool search --sync --class "^${3//./\\.}\$" >"$4" 2>&1; found=$?
    "$2" "Kolvane (Orbel) v1.43"; closed=$?
    wait $program
    [ $found -eq 0 ] || { echo "no window of class $3"; exit 2; }
    exit $closed' \
  run "$prefix/bin/kolvane" "$closer" "$id" "$work/class" || fail "the window (class $id) did not open and close"

saved=$work/data/DVK/Common/NV-Data.kqn
if [ ! -f "$saved" ]; then
  fail "the program wrote no settings file to $saved"
else
  grep -q $'^{900} lan = 1;\r$' "$saved" || fail "language from the fallback not kept: $(cat -A "$saved")"
  grep -q $'^{021} hza = 250.0;\r$' "$saved" || fail "stroke rate from the fallback not kept: $(cat -A "$saved")"
fi
# The fallback itself is never written.
cmp -s "$work/fallback" "$prefix/bin/NV-Data.kqx" || fail "the fallback was changed"

if [ "$failures" -ne 0 ]; then
  exit 1
fi
echo "install test passed"
