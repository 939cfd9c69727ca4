#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, checks the formatting of the C++ sources, then
# builds and runs every test: the debug build, the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, the release build (built
# only, so that its optimiser's warnings are caught too), a short run of each
# fuzz target, the Windows, ARM64 and WebAssembly builds with their tests
# under Wine, qemu and node, the browser page in headless Chromium, and the
# release files as users install them. One
# line per stage with its time; a failing stage shows the end of its log (all
# logs: build/logs/).
#
#   bash scripts/test.sh              every stage (what CI runs)
#   bash scripts/test.sh dev mingw    only those stages, in the order given
#   bash scripts/test.sh --help       the stages
set -euo pipefail
cd "$(dirname "$0")/.."

# name: what it does (the order is the order of a whole run)
stages=(
  "setup: installs the Debian packages the other stages need"
  "format: checks the C++ sources against .clang-format"
  "dev: debug build and every test"
  "asan: the same tests under AddressSanitizer and UndefinedBehaviorSanitizer"
  "release: optimised build, benchmarks included (built, not run)"
  "fuzz: each fuzz target briefly (clang)"
  "mingw: the Windows programs, cross-built, and their tests under Wine"
  "aarch64: the calculation, the settings file and kolvane-calc for ARM64, tested under qemu; kolvane-calc's bytes against dev's"
  "wasm: the calculation and kolvane-calc for WebAssembly, tested under node; kolvane-calc's bytes against dev's"
  "web: the browser page's static site (emscripten), its tests in headless Chromium and its screenshots"
  "package: scripts/release.sh's files, tested as users install them (after release and mingw)"
)

usage() {
  printf 'usage: bash scripts/test.sh [STAGE...]\n\nWithout a stage every stage runs, in this order:\n'
  printf '  %s\n' "${stages[@]}"
}

chosen=()
for arg in "$@"; do
  case $arg in
    -h | --help)
      usage
      exit 0
      ;;
    *)
      if ! printf '%s\n' "${stages[@]}" | grep -q "^$arg:"; then
        printf 'test.sh: no stage "%s"\n\n' "$arg" >&2
        usage >&2
        exit 2
      fi
      chosen+=("$arg")
      ;;
  esac
done
if ((${#chosen[@]} == 0)); then
  for line in "${stages[@]}"; do
    chosen+=("${line%%:*}")
  done
fi

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
  for folder in calc settings app pages ui cli tests bench fuzz; do
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

run_stage() {
  case $1 in
    setup) stage setup bash scripts/setup-debian.sh ;;
    format) stage format check_format ;;
    dev | asan | mingw | aarch64 | wasm | web) stage "$1" build_and_test "$1" ;;
    release) stage release build_only release ;;
    fuzz) stage fuzz fuzz_smoke ;;
    package) stage package bash tests/package/package_test.sh ;;
  esac
}

total=$SECONDS
for name in "${chosen[@]}"; do
  run_stage "$name"
done

# One closing line over the ctest summaries of the stages that ran, for
# whoever reads only the end.
ran=0
for name in "${chosen[@]}"; do
  if [ -f "$logs/$name.log" ]; then
    count=$(sed -n 's/^.*tests passed, [0-9]* tests failed out of \([0-9]*\)$/\1/p' \
      "$logs/$name.log" | awk '{ n += $1 } END { print n + 0 }')
    ran=$((ran + count))
  fi
done
printf 'all passed in %d s\n' $((SECONDS - total))
printf 'tests: %d passed, 0 failed\n' "$ran"
