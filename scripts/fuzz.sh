#!/usr/bin/env bash
# Builds the fuzz target with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) and runs it
# for a bounded time: scripts/fuzz.sh [SECONDS] [JOBS]. A crash fails the run and leaves its input in
# build-fuzz/crashes/; copy it to tests/fuzz/regressions/ with the fix, so that it stays a test.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-300}
jobs=${2:-1}
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAQ_SANITIZE=ON \
  -DTAQ_FUZZ=ON -DTAQ_BUILD_TESTS=OFF -DTAQ_BUILD_BENCH=OFF -DTAQ_BUILD_TOOLS=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target StrokeFuzz
work=build-fuzz/corpus
mkdir -p "$work" build-fuzz/crashes
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# A unit that runs a minute is a hang: long inputs refit strokes of hundreds of points many times, which
# takes seconds under the sanitizers and coverage counters (and more on a loaded machine), never minutes.
args=(-max_total_time="$seconds" -max_len=8192 -timeout=60 -rss_limit_mb=4096 -print_final_stats=1
      -artifact_prefix=build-fuzz/crashes/ "$work" tests/fuzz/corpus)
if [ "$jobs" -gt 1 ]; then
  args=(-fork="$jobs" -ignore_crashes=0 "${args[@]}")
fi
status=0
./build-fuzz/StrokeFuzz "${args[@]}" > build-fuzz/last-run.log 2>&1 || status=$?
grep -E "stat::number_of_executed_units|stat::average_exec_per_sec|ERROR|Test unit written" build-fuzz/last-run.log || true
if [ "$status" -ne 0 ]; then
  tail -n 60 build-fuzz/last-run.log
  echo "fuzz: failed (status $status); inputs in build-fuzz/crashes/"
  exit 1
fi
echo "fuzz: ${seconds} s without a failure"
