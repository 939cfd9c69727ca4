#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Debian package as a user and Debian's tools see it, without installing
# it into the running system: lintian finds no error and no warning, it holds
# exactly the expected files (owned by root), apt can install it on this
# Debian, and its programs run from an unpacked copy and say the version.
# Usage: deb_test.sh <package file> <version>
set -uo pipefail
deb=$(realpath "$1")
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

source "$(dirname "$0")/../support/checks.sh"

# ---- lintian: every finding is shown; errors and warnings fail --------------
lintian --display-level '>=pedantic' --display-experimental --show-overrides \
  --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1
echo "lintian:"
sed 's/^/  /' "$work/lintian"
grep -E '^[EW]: ' "$work/lintian" >/dev/null && fail "lintian reports errors or warnings"

# ---- The files, their modes and owners ----------------------------------------
id=org.kolvane.Kolvane
{
  for folder in ./ ./usr/ ./usr/bin/ ./usr/share/ ./usr/share/applications/ ./usr/share/doc/ \
    ./usr/share/doc/kolvane/ ./usr/share/icons/ ./usr/share/icons/hicolor/ \
    ./usr/share/lintian/ ./usr/share/lintian/overrides/ ./usr/share/man/ ./usr/share/man/man1/ \
    ./usr/share/metainfo/ ./usr/share/icons/hicolor/scalable/ \
    ./usr/share/icons/hicolor/scalable/apps/; do
    echo "drwxr-xr-x root/root $folder"
  done
  for program in kolvane kolvane-calc; do
    echo "-rwxr-xr-x root/root ./usr/bin/$program"
  done
  for file in applications/$id.desktop metainfo/$id.metainfo.xml doc/kolvane/copyright \
    doc/kolvane/changelog.gz doc/kolvane/changelog.Debian.gz man/man1/kolvane.1.gz \
    man/man1/kolvane-calc.1.gz lintian/overrides/kolvane icons/hicolor/scalable/apps/$id.svg; do
    echo "-rw-r--r-- root/root ./usr/share/$file"
  done
  for size in 16 24 32 48 64 128 256; do
    echo "drwxr-xr-x root/root ./usr/share/icons/hicolor/${size}x$size/"
    echo "drwxr-xr-x root/root ./usr/share/icons/hicolor/${size}x$size/apps/"
    echo "-rw-r--r-- root/root ./usr/share/icons/hicolor/${size}x$size/apps/$id.png"
  done
} | sort >"$work/expected"
dpkg-deb -c "$deb" | awk '{ print $1, $2, $6 }' | sort >"$work/listed"
if ! cmp -s "$work/expected" "$work/listed"; then
  fail "the package's files differ from the expected ones (< expected, > in the package):
$(diff "$work/expected" "$work/listed" | grep '^[<>]')"
fi

# ---- The control fields -------------------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = kolvane ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version-1" ] || fail "Version is '$(field Version)', not $version-1"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] ||
  fail "Architecture is '$(field Architecture)'"
for name in Section Priority Maintainer Installed-Size; do
  [ -n "$(field $name)" ] || fail "no $name field"
done
[ -z "$(field Homepage)" ] || fail "a Homepage field: $(field Homepage)"
description=$(field Description)
[ "$(wc -l <<<"$description")" -ge 3 ] || fail "no long description: $description"
# The window needs Qt's widgets, and both programs the C++ library.
depends=$(field Depends | tr ',' '\n' | awk '{ print $1 }')
for library in libqt6widgets6 libstdc++6 libc6; do
  grep -qxF "$library" <<<"$depends" || fail "Depends lacks $library: $(field Depends)"
done

# ---- apt would install it on this system -------------------------------------
if ! apt-get install --simulate "$deb" >"$work/apt" 2>&1; then
  fail "apt-get install --simulate: $(tail -n 5 "$work/apt")"
elif ! grep -q "^Inst kolvane (\|^kolvane is already the newest" "$work/apt"; then
  fail "apt-get install --simulate does not install kolvane: $(tail -n 5 "$work/apt")"
fi

# ---- The unpacked programs run, and every file says the one version ----------
root=$work/root
dpkg-deb -x "$deb" "$root"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/kolvane" --version 2>&1) ||
  fail "kolvane --version failed: $out"
[ "$out" = "kolvane $version" ] || fail "kolvane --version says '$out'"
out=$("$root/usr/bin/kolvane-calc" --version 2>&1)
[ "$out" = "kolvane-calc $version" ] || fail "kolvane-calc --version says '$out'"
# The example of the README: 150 mm at 140 strokes a minute with the drive's
# default limits needs 22.8 m/s² at the peak.
out=$(HOME=$work XDG_DATA_HOME=$work/data XDG_CONFIG_DIRS=$work/config \
  "$root/usr/bin/kolvane-calc" rate --feed-length 150 --stroke-rate 140 2>&1) ||
  fail "kolvane-calc rate failed: $out"
grep -qE '^Acceleration \(peak\) +22\.8 m/s²$' <<<"$out" || fail "kolvane-calc rate printed: $out"
for page in kolvane kolvane-calc; do
  heading=$(zcat "$root/usr/share/man/man1/$page.1.gz" | grep -m1 '^\.TH')
  grep -qF "\"Kolvane $version\"" <<<"$heading" || fail "the manual page of $page: $heading"
done
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/$id.metainfo.xml" ||
  fail "the AppStream metadata has no release $version"
zcat "$root/usr/share/doc/kolvane/changelog.Debian.gz" | head -n 1 | grep -qF "kolvane ($version-1)" ||
  fail "changelog.Debian.gz does not begin with $version-1"
zcat "$root/usr/share/doc/kolvane/changelog.gz" | grep -q "^## \[$version\] - " ||
  fail "changelog.gz has no entry for $version"

[ "$failures" -eq 0 ] && echo "deb test passed"
[ "$failures" -eq 0 ]
