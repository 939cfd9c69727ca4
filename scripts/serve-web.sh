#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the web site (the web preset) if anything changed, and serves it on
# 127.0.0.1 until Ctrl+C. The site is build/web/site/: static files that any
# web server can serve as they are.
#   bash scripts/serve-web.sh [PORT]   (default 8000; a free one if it is taken)
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build/web/build.ninja ]; then
  cmake --preset web >/dev/null
fi
cmake --build --preset web
echo "Kolvane's web page (Ctrl+C stops the server):"
exec python3 scripts/serve_web.py build/web/site "${1:-8000}"
