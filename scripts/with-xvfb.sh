#!/usr/bin/env bash
# Runs a command with a display: the caller's when it has one, otherwise an
# Xvfb started here and stopped when the command ends.
set -uo pipefail
if [ -n "${DISPLAY:-}" ] && [ -z "${VANTARO_OWN_XVFB:-}" ]; then
  exec "$@"
fi
geometry="${XVFB_GEOMETRY:-640x480x24}"
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 "$geometry" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xvfb_pid=$!
read -r -t 30 display_number <"$fifo" || true
rm -f "$fifo"
if [ -z "${display_number:-}" ]; then
  echo "error: Xvfb did not start within 30 s" >&2
  kill "$xvfb_pid" 2>/dev/null
  exit 1
fi
export DISPLAY=":$display_number"
"$@"
status=$?
kill "$xvfb_pid" 2>/dev/null
wait "$xvfb_pid" 2>/dev/null
exit $status
