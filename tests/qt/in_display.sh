#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a command inside an X display of its own (Xvfb, 1280x1024, on the
# first free display number, which the server picks itself: tests that run
# at the same time never race for one) and, with --dbus, a D-Bus session.
# Usage: in_display.sh [--dbus] <command> [arguments...]
set -euo pipefail
dbus=false
if [ "${1:-}" = --dbus ]; then
  dbus=true
  shift
fi

work=$(mktemp -d)
server=
cleanup() {
  if [ -n "$server" ]; then
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# Local connections only, through the server's socket.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/server.log" 2>&1 &
server=$!
exec 3>&-
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  kill -0 "$server" 2>/dev/null || { cat "$work/server.log" >&2; exit 1; }
  sleep 0.1
done
number=$(head -1 "$work/display")
[ -n "$number" ] || { echo "in_display: Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$number
unset WAYLAND_DISPLAY

status=0
if $dbus; then
  dbus-run-session -- "$@" || status=$?
else
  "$@" || status=$?
fi
exit $status
