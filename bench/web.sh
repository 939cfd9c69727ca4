#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The web page against its size and start goals (bench/web_bench.js says
# how each is measured): script and .wasm at most 600 kB, 250 kB gzipped;
# navigation to the filled window at most 1.5x a static page with the same
# window. Builds the web preset first; exits 1 when a goal is missed.
# Usage: bench/web.sh [runs, default 21]
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build/web/build.ninja ]; then
  cmake --preset web >/dev/null
fi
cmake --build --preset web >/dev/null
NODE_PATH=$PWD/build/web/tests/web/npm/node_modules \
  node bench/web_bench.js --site build/web/site --runs "${1:-21}"
