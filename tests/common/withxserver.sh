#!/usr/bin/env bash
# Runs a command on an X server of its own (Xvfb) and stops the server afterwards.
# Usage: withxserver.sh WIDTHxHEIGHT COMMAND [ARGUMENT...]
# The server picks its display itself (-displayfd): "xvfb-run -a" can pick the display of a
# server that another test is starting at the same moment. Without -noreset the server resets
# whenever its last client goes (between two tools of a script), and a client connecting during
# the reset finds no display.
set -uo pipefail

screen=$1
shift
server_files=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp -noreset 3>"$server_files/display" \
  2>"$server_files/log" &
server=$!
for _ in $(seq 1 150); do
  [[ -s "$server_files/display" ]] || ! kill -0 "$server" 2>/dev/null && break
  sleep 0.1
done
if [[ ! -s "$server_files/display" ]]; then
  echo "Xvfb did not start:"
  cat "$server_files/log"
  kill "$server" 2>/dev/null || true
  rm -rf "$server_files"
  exit 1
fi
status=0
DISPLAY=":$(cat "$server_files/display")" "$@" || status=$?
kill "$server"
wait "$server" 2>/dev/null || true
rm -rf "$server_files"
exit "$status"
