#!/usr/bin/env bash
# Installs what is needed, builds the normal and the sanitizer (AddressSanitizer + UndefinedBehaviorSanitizer)
# flavours and runs the whole test suite in both. Fails when any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh release
(cd build && ctest --output-on-failure -j "$(nproc)")
bash scripts/build.sh sanitize
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=0
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build-sanitize && ctest --output-on-failure -j "$(nproc)")
