#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes the files a user downloads, in dist/, from the release and mingw
# presets (built first, as far as needed):
#   kolvane_<version>-<revision>_<arch>.deb   the Debian package
#   Kolvane-<version>-setup.exe                the Windows installer (NSIS)
#   Kolvane-<version>-win64.zip                the Windows programs, portable
#   kolvane-web-<version>.zip                  the static web site, when built
#   SHA256SUMS                                 over all of them
# The version is the CMake project version. The files are reproducible: every
# time stamp in them is SOURCE_DATE_EPOCH, by default the time of the last
# commit, so two runs on the same sources give the same bytes.
# The web site is taken from build/web/site/, the folder the web build leaves
# the finished static site in; without that folder there is no web zip.
# dist/ is emptied first.
# Usage: bash scripts/release.sh
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc)
dist=dist
work=build/release-files
web_site=build/web/site
# Raised when the package changes and the program does not.
revision=1

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null) ||
    { echo "release: no git history; set SOURCE_DATE_EPOCH" >&2; exit 1; }
fi
export SOURCE_DATE_EPOCH
if [ -n "$(git status --porcelain --untracked-files=no 2>/dev/null)" ]; then
  echo "release: warning: uncommitted changes; the files hold them, but carry the last commit's date" >&2
fi
# Nothing below may depend on who runs it, or where.
export LC_ALL=C.UTF-8 TZ=UTC
umask 022

say() { printf 'release: %s\n' "$*"; }

# ---- Build ---------------------------------------------------------------
say "building the release preset"
cmake --preset release >/dev/null
cmake --build --preset release -j "$jobs" --target kolvane kolvane-calc kolvane_icons
say "building the mingw preset"
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$jobs" --target kolvane kolvane-calc

project_version() { # <build folder>
  sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$1/CMakeCache.txt"
}
version=$(project_version build/release)
if [ -z "$version" ] || [ "$version" != "$(project_version build/mingw)" ]; then
  echo "release: the release and mingw builds disagree on the version" >&2
  exit 1
fi
# Windows wants four numbers: 1.43 is 1.43.0.0.
version_numbers=$version
while [ "$(tr -cd . <<<"$version_numbers" | wc -c)" -lt 3 ]; do
  version_numbers+=.0
done

rm -rf "$work" "$dist"
mkdir -p "$work" "$dist"

# fill <template> <NAME=value...>: the template without its "#" comment
# lines, with each @NAME@ replaced.
fill() {
  local template=$1 text
  shift
  text=$(grep -v '^#' "$template")
  for pair in "$@"; do
    text=${text//"@${pair%%=*}@"/"${pair#*=}"}
  done
  printf '%s\n' "$text"
}

# Every file and folder below <folder> gets the one time stamp.
stamp_all() {
  find "$1" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
}

# ---- The Debian package ----------------------------------------------------
# The space the package takes, in KiB, counted as dpkg-gencontrol counts it:
# each file's size rounded up, one for each folder. Not what the disk of the
# build machine makes of it, which differs between file systems.
installed_size() { # <package root>
  (cd "$1" && find usr \( -type f -printf '%s\n' \) -o \( -type d -printf '1024\n' \)) |
    awk '{ kib += int(($1 + 1023) / 1024) } END { print kib }'
}

make_deb() {
  # dpkg-shlibdeps expects the package's files in debian/<package>/ of a
  # source package: the folder is laid out so.
  local source=$work/deb root=$work/deb/debian/kolvane arch package_version doc depends
  arch=$(dpkg --print-architecture)
  package_version=$version-$revision
  DESTDIR=$PWD/$root cmake --install build/release --prefix /usr --component kolvane >/dev/null

  # Stripped as Debian strips programs (dh_strip); the symbols the programs
  # export stay in their dynamic symbol table.
  strip --remove-section=.comment --remove-section=.note "$root/usr/bin/kolvane" \
    "$root/usr/bin/kolvane-calc"
  gzip -9n "$root"/usr/share/man/man1/*.1

  # The package's documents: the licence in Debian's machine-readable
  # format, the release notes, the package's own changelog.
  doc=$root/usr/share/doc/kolvane
  rm -f "$doc"/*
  gzip -9n -c CHANGELOG.md >"$doc/changelog.gz"
  local maintainer
  maintainer=$(sed -n 's/^Maintainer: //p' packaging/debian/control.in)
  fill packaging/debian/changelog.in VERSION="$package_version" UPSTREAM_VERSION="$version" \
    MAINTAINER="$maintainer" DATE="$(date -R -d "@$SOURCE_DATE_EPOCH")" |
    gzip -9n >"$doc/changelog.Debian.gz"
  {
    echo 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/'
    echo 'Upstream-Name: Kolvane'
    echo
    echo 'Files: *'
    echo "Copyright: $(sed -n 's/^Copyright (c) //p' LICENSE)"
    echo 'License: MIT'
    echo
    echo 'License: MIT'
    # The licence text below its copyright line, in the format's
    # continuation lines.
    sed '1,/^Copyright/d' LICENSE | sed '/./,$!d' | sed 's/^$/./; s/^/ /'
  } >"$doc/copyright"
  mkdir -p "$root/usr/share/lintian/overrides"
  cp packaging/debian/lintian-overrides "$root/usr/share/lintian/overrides/kolvane"

  find "$root" -type d -exec chmod 0755 {} +
  find "$root" -type f -exec chmod 0644 {} +
  chmod 0755 "$root/usr/bin/kolvane" "$root/usr/bin/kolvane-calc"

  # Depends: what the programs link, as dpkg-shlibdeps names it. It reads the
  # debian/control of a source package, which a small one stands in for, and
  # finds the package's folder by its DEBIAN folder.
  mkdir -p "$root/DEBIAN"
  printf 'Source: kolvane\n\nPackage: kolvane\nArchitecture: any\n' >"$source/debian/control"
  depends=$(cd "$source" && dpkg-shlibdeps -O -edebian/kolvane/usr/bin/kolvane \
    -edebian/kolvane/usr/bin/kolvane-calc | sed -n 's/^shlibs:Depends=//p')
  [ -n "$depends" ] || { echo "release: dpkg-shlibdeps found no dependencies" >&2; return 1; }

  fill packaging/debian/control.in VERSION="$package_version" ARCH="$arch" \
    INSTALLED_SIZE="$(installed_size "$root")" \
    DEPENDS="$depends" >"$root/DEBIAN/control"
  (cd "$root" && find usr -type f | sort | xargs md5sum) >"$root/DEBIAN/md5sums"
  chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"
  stamp_all "$root"
  dpkg-deb --root-owner-group -Zxz --build "$root" \
    "$dist/kolvane_${package_version}_$arch.deb" >/dev/null
}

# ---- Windows: the portable zip and the installer -----------------------------
# What both carry: the two programs, stripped, and the two texts with Windows
# line ends.
stage_windows() {
  local files=$work/win64
  mkdir -p "$files"
  cp build/mingw/ui/win32/kolvane.exe build/mingw/cli/kolvane-calc.exe "$files/"
  x86_64-w64-mingw32-strip "$files/kolvane.exe" "$files/kolvane-calc.exe"
  fill packaging/windows/README.txt.in VERSION="$version" | sed 's/$/\r/' >"$files/README.txt"
  sed 's/$/\r/' LICENSE >"$files/LICENSE.txt"
  chmod 0755 "$files"/*.exe
  chmod 0644 "$files"/*.txt
  stamp_all "$files"
}

make_installer() {
  makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DVERSION_NUMBERS="$version_numbers" \
    -DFILES="$PWD/$work/win64" -DICON="$PWD/build/mingw/ui/win32/kolvane.ico" \
    -DOUTFILE="$PWD/$dist/Kolvane-$version-setup.exe" packaging/windows/kolvane.nsi
}

say "packing version $version (time stamps: $(date -d "@$SOURCE_DATE_EPOCH" '+%F %T %Z'))"
make_deb
stage_windows
python3 scripts/make_zip.py "$dist/Kolvane-$version-win64.zip" "$work/win64"
make_installer
if [ -d "$web_site" ]; then
  python3 scripts/make_zip.py "$dist/kolvane-web-$version.zip" "$web_site" "kolvane-web-$version"
else
  say "no $web_site/: no web zip"
fi

(cd "$dist" && sha256sum -- * >SHA256SUMS)
say "written to $dist/:"
(cd "$dist" && stat -c '%10s  %n' -- *)
