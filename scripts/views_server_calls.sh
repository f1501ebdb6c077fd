#!/usr/bin/env bash
# Counts the Wine server calls of each measured operation of the views
# benchmark, with the desktop visual style on or off in the build's prefix:
#   scripts/views_server_calls.sh BUILD on|off
# It runs the benchmark once (one round of each store) under a wineserver of
# its own that traces every request, then sets the style the prefix is
# configured with again (off unless VANTARO_VISUAL_STYLE=1).
set -uo pipefail
build="$1" style="$2"
export WINEPREFIX="${VANTARO_TEST_WINEPREFIX:-$(cd "$build" && pwd)/wineprefix}" WINEDLLOVERRIDES="mscoree,mshtml="
key='HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager'
set_style() { WINEDEBUG=-all wine reg add "$key" /v ThemeActive /t REG_SZ /d "$1" /f >/dev/null 2>&1; wineserver -w; }

[ "$style" = on ] && set_style 1 || set_style 0
# A new wineserver, so that it starts with the request trace on.
wineserver -w
VIEWS_BENCH_MARKS=1 WINEDEBUG=+server,+debugstr VANTARO_OWN_XVFB=1 \
  scripts/with-xvfb.sh wine "$build/bench/views/views_bench.exe" 2>&1 >/dev/null |
  awk '
    /mark begin / { match($0, /mark begin [^"\\]*/); op = substr($0, RSTART + 11, RLENGTH - 11); next }
    /mark end /   { if (op != "") { round[op]++; key = op (round[op] == 1 ? ", empty store" : ", large store"); count[key] = n }
                    op = ""; n = 0; next }
    op != "" && /^[0-9a-f]+: [a-z_]+\(/ && !/\) = / { n++ }
    END { for (k in count) printf "%-60s %8d server calls\n", k, count[k] }' | sort
set_style "${VANTARO_VISUAL_STYLE:-0}"
