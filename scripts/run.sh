#!/usr/bin/env bash
# Starts Vantaro under Wine. Without a display it runs on a virtual one, saves
# a screenshot after start-up and keeps running until interrupted.
set -uo pipefail
build="$1"
exe="$build/vantaro.exe"
export WINEPREFIX="${WINEPREFIX:-${XDG_DATA_HOME:-$HOME/.local/share}/vantaro/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml="
scripts/wineprefix.sh "$WINEPREFIX" || exit 1

# On the first run the device's contact store is new: fill it with our
# fictional sample contacts (the tool leaves an existing store alone). It
# runs once the display is known, as the Wine session it starts is shared
# with the program.
import_sample_contacts() {
  local sample="$(pwd)/contacts/sample/sample_contacts.vcf"
  wine "$build/vtcontacts.exe" import --if-new-store "Z:${sample//\//\\}" ||
    echo "warning: the sample contacts could not be imported" >&2
  # And, with a new volume, a few months of activities up to today.
  local volume="$(cd "$build" && pwd)/vt1.vol"
  if [ ! -f "$volume" ]; then
    wine "$build/vtgenerate.exe" "Z:${volume//\//\\}" 0 160 --recent >/dev/null ||
      echo "warning: the sample activities could not be made" >&2
  fi
}

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  import_sample_contacts
  exec wine "$exe"
fi

shot_dir="$build/../run"
mkdir -p "$shot_dir"
shot="$(cd "$shot_dir" && pwd)/screenshot.png"

fifo=$(mktemp -u); mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 480x640x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xvfb_pid=$!
read -r -t 30 display_number <"$fifo" || true
rm -f "$fifo"
if [ -z "${display_number:-}" ]; then
  echo "error: no display and Xvfb did not start" >&2
  exit 1
fi
export DISPLAY=":$display_number"

import_sample_contacts
wine "$exe" &
app_pid=$!
stop() {
  kill "$app_pid" 2>/dev/null
  timeout 20 wineserver -k 2>/dev/null
  kill "$xvfb_pid" 2>/dev/null
}
trap 'stop; exit 0' INT TERM

for _ in $(seq 1 120); do
  xdotool search --name '^Vantaro$' >/dev/null 2>&1 && break
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.5
done
sleep 2
if import -window root "$shot" 2>/dev/null; then
  echo "No display: Vantaro runs on virtual display $DISPLAY; screenshot saved to $shot"
else
  echo "No display: Vantaro runs on virtual display $DISPLAY; the screenshot failed" >&2
fi
echo "Press Ctrl+C to stop."
wait "$app_pid"
status=$?
stop
exit $status
