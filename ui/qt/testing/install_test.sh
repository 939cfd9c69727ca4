#!/usr/bin/env bash
# Installs the program into a temporary prefix and checks that the files land
# in their standard places and that the installed program reads its fallback
# settings file "NV-Data.kqx" from its own folder.
# Usage: install_test.sh <build dir> <close_window tool>
set -euo pipefail
build=$1
closer=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" --component kolvane >/dev/null

for file in bin/kolvane share/applications/kolvane.desktop \
  share/icons/hicolor/32x32/apps/kolvane.png share/metainfo/kolvane.metainfo.xml \
  bin/kolvane-calc share/man/man1/kolvane-calc.1; do
  if [ ! -f "$prefix/$file" ]; then
    echo "not installed: $file" >&2
    exit 1
  fi
done
[ -x "$prefix/bin/kolvane" ] || { echo "bin/kolvane is not executable" >&2; exit 1; }
"$prefix/bin/kolvane-calc" --version >/dev/null || { echo "bin/kolvane-calc does not run" >&2; exit 1; }

# A fallback beside the program with an English language and a stroke rate
# of 250; no settings file in the data folder yet.
printf 'Non volatile data for Kolvane (Win)\r\n\r\n{900} lan = 1;\r\n{021} hza = 250.0;\r\n' \
  >"$prefix/bin/NV-Data.kqx"
cp "$prefix/bin/NV-Data.kqx" "$work/fallback"
mkdir -p "$work/config" "$work/data"

# Start the installed program, close its window as a window manager would,
# and let it write its settings file into the (temporary) data folder.
XDG_CONFIG_DIRS=$work/config XDG_DATA_HOME=$work/data HOME=$work \
  xvfb-run -a bash -c '"$1" & program=$!; "$2" "Kolvane (Orbel) v1.43"; closed=$?; wait $program; exit $closed' \
  run "$prefix/bin/kolvane" "$closer"

saved=$work/data/DVK/Common/NV-Data.kqn
if [ ! -f "$saved" ]; then
  echo "the program wrote no settings file to $saved" >&2
  exit 1
fi
grep -q $'^{900} lan = 1;\r$' "$saved" || { echo "language from the fallback not kept" >&2; cat -A "$saved" >&2; exit 1; }
grep -q $'^{021} hza = 250.0;\r$' "$saved" || { echo "stroke rate from the fallback not kept" >&2; cat -A "$saved" >&2; exit 1; }
# The fallback itself is never written.
cmp -s "$work/fallback" "$prefix/bin/NV-Data.kqx" || { echo "the fallback was changed" >&2; exit 1; }
echo "install test passed"
