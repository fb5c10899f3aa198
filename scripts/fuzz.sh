#!/usr/bin/env bash
# Builds the libFuzzer targets (the "fuzz" preset: clang, address and
# undefined-behaviour sanitizers) and runs each for a bounded time, starting
# from the seed corpus in tests/fuzz/corpus/<target>. Fails on the first
# crash, sanitizer report or broken invariant; the input that caused it is
# left in build/fuzz/artifacts.
#
#   VANTREL_FUZZ_SECONDS  time per target (default 60)
#   VANTREL_JOBS          parallel build jobs (default 2)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${VANTREL_FUZZ_SECONDS:-60}
jobs=${VANTREL_JOBS:-2}
targets=(profile_text_fuzz expand_placeholder_fuzz)

cmake --preset fuzz
cmake --build --preset fuzz -j "$jobs" --target "${targets[@]}"

artifacts=build/fuzz/artifacts
mkdir -p "$artifacts"
for target in "${targets[@]}"; do
  # New inputs go to a scratch corpus; the committed seeds stay as they are.
  work=tests/fuzz/corpus-run/$target
  mkdir -p "$work"
  echo "== $target: ${seconds}s"
  "build/fuzz/tests/fuzz/$target" "$work" "tests/fuzz/corpus/$target" \
    -max_total_time="$seconds" -timeout=10 -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="$artifacts/$target-"
done
echo "fuzzing passed"
