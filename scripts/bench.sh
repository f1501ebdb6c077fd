#!/usr/bin/env bash
# Runs every benchmark program: native ones from the release build, Windows
# ones under Wine on a virtual display. A benchmark program is any executable
# whose name ends in "_bench" below the bench/ folder of a build.
set -uo pipefail
native="$1" win="$2"
found=0 status=0
while IFS= read -r exe; do
  found=1
  echo "== $(basename "$exe")"
  "$exe" || status=1
done < <(find "$native/bench" -type f -name '*_bench' -perm -u+x 2>/dev/null | sort)
while IFS= read -r exe; do
  found=1
  echo "== $(basename "$exe") (Wine)"
  VANTARO_OWN_XVFB=1 scripts/with-xvfb.sh "$win/wine-exec.sh" "$exe" || status=1
done < <(find "$win/bench" -type f -name '*_bench.exe' 2>/dev/null | sort)
[ $found -eq 1 ] || echo "Nothing to measure yet."
exit $status
