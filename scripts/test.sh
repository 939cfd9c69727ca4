#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the debug build,
# the same tests under AddressSanitizer and UndefinedBehaviorSanitizer, and a
# short run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-debian.sh

jobs=$(nproc)
for preset in dev asan; do
  echo "== $preset: configure, build, test"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done

if [ -d fuzz ] && [ -f fuzz/CMakeLists.txt ]; then
  echo "== fuzz: configure, build, smoke run"
  cmake --preset fuzz >/dev/null
  cmake --build --preset fuzz -j "$jobs"
  ctest --test-dir build/fuzz --output-on-failure
fi

# ---- Windows: the mingw-w64 cross-build, its tests under Wine ---------------
# The Wine prefix is made once per build folder, by the first build.
echo "== mingw: configure, build, test under Wine"
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$jobs"
ctest --preset mingw -j "$jobs"
# ---- end of the Windows stage ------------------------------------------------
