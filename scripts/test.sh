#!/usr/bin/env bash
# Runs every suite: native, native under the sanitizers, and Windows under
# Wine on a virtual display. Prints CTest's summary of each suite and a total
# line at the end; exits non-zero on any failure.
set -uo pipefail
native="$1" native_san="$2" win="$3"
logdir=build/test-logs
mkdir -p "$logdir"
rm -f "$logdir"/*.log

run_suite() {
  local label="$1" dir="$2" log="$3"
  echo "== $label"
  ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" --no-tests=error 2>&1 | tee "$log"
  return "${PIPESTATUS[0]}"
}
export -f run_suite

status=0
run_suite "native tests" "$native" "$logdir/native.log" || status=1
ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1 UBSAN_OPTIONS=print_stacktrace=1 \
  run_suite "native tests (sanitizers)" "$native_san" "$logdir/native-asan.log" || status=1

export WINEPREFIX="$PWD/$win/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
VANTARO_OWN_XVFB=1 scripts/with-xvfb.sh bash -c \
  "run_suite 'Windows tests (Wine)' '$win' '$logdir/win.log'" || status=1
timeout 30 wineserver -k 2>/dev/null || true

# CTest closes each suite with "N% tests passed, F tests failed out of T".
passed=0 failed=0
for log in "$logdir"/*.log; do
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  [ -n "$line" ] || { status=1; continue; }
  f=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  t=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
  passed=$((passed + t - f)); failed=$((failed + f))
done
[ "$failed" -eq 0 ] || status=1
echo "total: $passed passed, $failed failed"
exit $status
