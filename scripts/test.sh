#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole test suite: every
# test in the default build and under AddressSanitizer with
# UndefinedBehaviorSanitizer, the threaded tests under ThreadSanitizer, the
# Windows build with its tests under Wine, then each fuzz target for a
# bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
jobs=${VANTREL_JOBS:-2}

for preset in default asan; do
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset"
done

cmake --preset tsan
cmake --build --preset tsan -j "$jobs" --target threaded_tests qt_tests
ctest --preset tsan

cmake --preset windows
cmake --build --preset windows -j "$jobs"
ctest --preset windows
cpack --preset windows

bash scripts/fuzz.sh
