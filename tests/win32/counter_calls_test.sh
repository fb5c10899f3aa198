#!/usr/bin/env bash
# The processor counters' adds as Wine's trace of the Performance Data Helper
# library shows them: each path is added first by the name in the system's
# language, and only a path that fails there (here a process that does not
# exist) is added again, once, by its English name; the total, which is
# found, is not. (Wine knows its counters by their English names alone, so
# that the English add finds what the first one missed can only be seen on
# a Windows in another language.)
#
#   counter_calls_test.sh WINE_RUN WINE_PREFIX WIN32_TESTS
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }

trace=$(WINEDEBUG=trace+pdh "$1" "$2" "$3" --gtest_filter=*Counters* 2>&1) || fail "the counters test failed: $trace"
# "FUNCTION PATH" of each add in the system code page's variant, in order.
adds=$(sed -n 's/^.*:trace:pdh:\(PdhAdd\(English\)\{0,1\}CounterA\) [0-9A-F]* "\(.*\)" .*$/\1 \3/p' <<<"$trace")
total='\\Processor(_Total)\\% Processor Time'
missing='\\Process(no-such-process#0)\\% Processor Time'
for path in "$total" "$missing"; do
  [ "$(grep -F " $path" <<<"$adds" | head -n1)" = "PdhAddCounterA $path" ] ||
    fail "$path is not added first by its name in the system's language: $adds"
done
[ "$(grep -cxF "PdhAddEnglishCounterA $total" <<<"$adds")" = 0 ] || fail "the total was added by its English name too: $adds"
[ "$(grep -cxF "PdhAddEnglishCounterA $missing" <<<"$adds")" = 1 ] ||
  fail "a counter that was not found was not added once by its English name: $adds"
echo PASS
