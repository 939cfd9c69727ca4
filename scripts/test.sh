#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, checks the formatting of the C++ sources, then
# builds and runs every test: the debug build, the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, the release build (built
# only, so that its optimiser's warnings are caught too), a short run of each
# fuzz target, and the Windows, ARM64 and WebAssembly builds with their tests
# under Wine, qemu and node. One line per stage with its time; a failing stage shows
# the end of its log (all logs: build/logs/).
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc)
logs=build/logs
mkdir -p "$logs"

# stage <name> <command...>: runs the command with its output in the log.
stage() {
  local name=$1
  shift
  local log="$logs/$name.log"
  local start=$SECONDS
  if "$@" >"$log" 2>&1; then
    printf '%-8s passed in %4d s\n' "$name" $((SECONDS - start))
  else
    printf '%-8s FAILED after %d s; the end of %s:\n' "$name" $((SECONDS - start)) "$log"
    tail -n 60 "$log"
    exit 1
  fi
}

check_format() {
  local folders=()
  for folder in calc settings app ui cli tests bench fuzz; do
    if [ -d "$folder" ]; then
      folders+=("$folder")
    fi
  done
  find "${folders[@]}" \( -name '*.cpp' -o -name '*.h' \) -print0 |
    xargs -0 clang-format --dry-run -Werror
}

# The steps are chained: a stage runs as an "if" condition, where "set -e"
# does not hold, and a failed build must not go on to its tests.
build_and_test() {
  cmake --preset "$1" &&
    cmake --build --preset "$1" -j "$jobs" &&
    ctest --preset "$1" -j "$jobs"
}

build_only() {
  cmake --preset "$1" &&
    cmake --build --preset "$1" -j "$jobs"
}

fuzz_smoke() {
  cmake --preset fuzz &&
    cmake --build --preset fuzz -j "$jobs" &&
    ctest --test-dir build/fuzz --output-on-failure
}

total=$SECONDS
stage setup bash scripts/setup-debian.sh
stage format check_format
stage dev build_and_test dev
stage asan build_and_test asan
stage release build_only release
if [ -f fuzz/CMakeLists.txt ]; then
  stage fuzz fuzz_smoke
fi

# ---- Windows: the mingw-w64 cross-build, its tests under Wine ---------------
# The Wine prefix is made once per build folder, by the first build.
stage mingw build_and_test mingw
# ---- end of the Windows stage ------------------------------------------------

# ---- ARM64 and WebAssembly: the calculation on TExtended --------------------
# long double is binary128 on both. ARM64: the static cross-build of the
# calculation, the settings file and kolvane-calc, their tests under
# qemu-aarch64. WebAssembly: the calculation and its tests under node.
stage aarch64 build_and_test aarch64
stage wasm build_and_test wasm

# One closing line over every stage's ctest summary, for whoever reads only
# the end.
ran=$(cat "$logs"/*.log | sed -n 's/^.*tests passed, [0-9]* tests failed out of \([0-9]*\)$/\1/p' |
  awk '{ n += $1 } END { print n + 0 }')
printf 'all passed in %d s\n' $((SECONDS - total))
printf 'tests: %d passed, 0 failed\n' "$ran"
