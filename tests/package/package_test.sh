#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The release files as users get them (the "package" stage of
# scripts/test.sh): scripts/release.sh twice, the second time with the
# programs linked anew and another umask, time zone and locale, must give the
# same bytes; SHA256SUMS checks out; then the Debian package (deb_test.sh),
# the Windows installer and zip under Wine (windows_test.sh) and, when the
# web site was built, its zip.
# Usage: bash tests/package/package_test.sh
set -uo pipefail
cd "$(dirname "$0")/../.."
# File lists sorted the same way as release.sh sorts them.
export LC_ALL=C.UTF-8
here=tests/package
folder=build/package-test

source "$(dirname "$0")/../support/checks.sh"

bash scripts/release.sh || exit 1
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/release/CMakeCache.txt)
mkdir -p "$folder"
rm -rf "$folder/first"
cp -a dist "$folder/first"

echo "second run, with the programs linked anew"
rm -f build/release/ui/qt/kolvane build/release/cli/kolvane-calc \
  build/mingw/ui/win32/kolvane.exe build/mingw/cli/kolvane-calc.exe
(umask 077 && TZ=Pacific/Kiritimati LC_ALL=de_DE.UTF-8 bash scripts/release.sh) || exit 1
first=$(ls "$folder/first")
second=$(ls dist)
[ "$first" = "$second" ] || fail "the two runs wrote different files: '$first' and '$second'"
for file in $first; do
  cmp -s "$folder/first/$file" "dist/$file" || fail "$file differs between two runs"
done
(cd dist && sha256sum --check --quiet SHA256SUMS) || fail "SHA256SUMS does not check out"
listed=$(cut -d' ' -f3 dist/SHA256SUMS | tr '\n' ' ')
[ "$listed" = "$(ls dist | grep -vx SHA256SUMS | tr '\n' ' ')" ] ||
  fail "SHA256SUMS lists '$listed'"

deb=dist/kolvane_$version-1_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $deb"
installer=dist/Kolvane-$version-setup.exe
[ -f "$installer" ] || fail "no $installer"
zip=dist/Kolvane-$version-win64.zip
[ -f "$zip" ] || fail "no $zip"

echo "the Debian package"
bash "$here/deb_test.sh" "$deb" "$version" || fail "the Debian package (above)"
echo "the Windows installer and zip"
bash "$here/windows_test.sh" "$installer" "$zip" "$version" "$folder/windows" ||
  fail "the Windows installer or zip (above)"

# The web site's zip: every file of the built site, in one folder named
# after the version.
web_zip=dist/kolvane-web-$version.zip
if [ -d build/web/site ]; then
  echo "the web site's zip"
  python3 - "$web_zip" build/web/site "kolvane-web-$version/" <<'EOF' || fail "the web zip (above)"
import os, sys, zipfile
archive, site, inside = sys.argv[1:]
if not os.path.exists(archive):
    sys.exit(f"FAILED: no {archive}")
with zipfile.ZipFile(archive) as zipped:
    names = set(zipped.namelist())
    files = {inside + os.path.relpath(os.path.join(root, name), site).replace(os.sep, "/")
             for root, _, found in os.walk(site) for name in found}
    if names != files:
        sys.exit(f"FAILED: the web zip differs from the site: missing {sorted(files - names)}, "
                 f"extra {sorted(names - files)}")
    if inside + "index.html" not in names:
        sys.exit("FAILED: the web zip has no index.html")
    for name in names:
        with open(os.path.join(site, name[len(inside):]), "rb") as source:
            if zipped.read(name) != source.read():
                sys.exit(f"FAILED: {name} differs from the site's file")
EOF
elif [ -e "$web_zip" ]; then
  fail "a web zip without a built web site"
fi

[ "$failures" -eq 0 ] && echo "package test passed"
[ "$failures" -eq 0 ]
