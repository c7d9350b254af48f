#!/usr/bin/env bash
# Runs every test program of the release build under Valgrind's memcheck, one program at a time, and
# prints each program's error count and definitely lost bytes. Fails when any program has an error or a
# definite leak. Usage: scripts/valgrind.sh [BUILD_DIR] (default build; build it first).
set -uo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
log=$dir/valgrind
mkdir -p "$log"
status=0
for t in "$dir"/tests/*Test "$dir"/tests/FuzzReplay; do
  [ -x "$t" ] || continue
  name=$(basename "$t")
  args=()
  [ "$name" = FuzzReplay ] && args=(tests/fuzz/corpus tests/fuzz/regressions)
  # One test program replaces operator new and delete to count deletions: Valgrind must see them as the
  # program's own code (malloc and free underneath), not as the allocator it intercepts.
  valgrind --tool=memcheck --soname-synonyms=somalloc=nouserintercepts --leak-check=full --errors-for-leak-kinds=definite --error-exitcode=3 \
    --log-file="$log/$name.log" "$t" "${args[@]}" > "$log/$name.out" 2>&1
  rc=$?
  errors=$(grep -o "ERROR SUMMARY: [0-9,]* errors" "$log/$name.log" | tail -1)
  lost=$(grep -o "definitely lost: [0-9,]* bytes" "$log/$name.log" | tail -1)
  echo "$name: exit $rc, ${errors:-no summary}, ${lost:-definitely lost: 0 bytes}"
  [ "$rc" -eq 0 ] || status=1
done
exit $status
