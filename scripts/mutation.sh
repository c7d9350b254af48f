#!/usr/bin/env bash
# Mutation testing: how many of the fixed faults in scripts/mutants.txt the release suite notices.
#
#   scripts/mutation.sh [--library COMMIT] [--tests COMMIT] [--exclude REGEX] [--timeout SECONDS]
#                       [--only N,M,...] [--work DIR]
#
# The tree is copied into the work folder (default build-mutation/, ignored by git); --library takes the
# library folders and --tests the tests/ folder from a commit instead of the working tree, so that two
# suites can be scored against the same library. Each mutant is applied to that copy only, built
# incrementally and the suite run with ctest --stop-on-failure; a test that outlives the timeout fails,
# so a mutant that makes the suite hang counts as killed. A mutant that does not build is reported apart
# and not scored. The report (share killed, survivors listed) goes to the work folder's report.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
library=""
tests=""
exclude=""
timeout=120
only=""
work=build-mutation
while [ $# -gt 0 ]; do
  case "$1" in
    --library) library=$2; shift 2 ;;
    --tests) tests=$2; shift 2 ;;
    --exclude) exclude=$2; shift 2 ;;
    --timeout) timeout=$2; shift 2 ;;
    --only) only=$2; shift 2 ;;
    --work) work=$2; shift 2 ;;
    *) echo "usage: scripts/mutation.sh [--library COMMIT] [--tests COMMIT] [--exclude REGEX]" \
            "[--timeout SECONDS] [--only N,M,...] [--work DIR]" >&2; exit 2 ;;
  esac
done
mkdir -p "$work"
work=$(cd "$work" && pwd)
list=$repo/scripts/mutants.txt
helper=$repo/scripts/mutation.py
src=$work/src
build=$work/build
stage=$work/stage
report=$work/report.txt
log=$work/log

# Whatever happens (failure, Ctrl-C), the copy gets its original file back.
restore() { if [ -d "$src" ]; then python3 "$helper" revert "$src"; fi; }
trap restore EXIT
trap 'restore; exit 130' INT TERM
restore

# The tree as it is, then the chosen folders from their commits; mirrored into the copy so that only
# files whose content changed are rebuilt.
rm -rf "$stage"
mkdir -p "$stage"
git ls-files -z --cached --others --exclude-standard | tar --null --ignore-failed-read -T - -cf - 2>/dev/null | tar -xf - -C "$stage"
library_folders=(stroke create evaluate edit reshape platform)
if [ -n "$library" ]; then
  (cd "$stage" && rm -rf "${library_folders[@]}")
  git archive "$library" "${library_folders[@]}" | tar -xf - -C "$stage"
fi
if [ -n "$tests" ]; then
  rm -rf "$stage/tests"
  git archive "$tests" tests | tar -xf - -C "$stage"
fi
mkdir -p "$src"
python3 "$helper" sync "$stage" "$src"
rm -rf "$stage"
python3 "$helper" check "$list" "$src" || { echo "mutant list does not fit these sources" >&2; exit 1; }

# Test programs are not relinked when only the shared library changes: a mutant costs one compile.
cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAQ_BUILD_BENCH=OFF \
      -DCMAKE_LINK_DEPENDS_NO_SHARED=ON >"$log" 2>&1
cmake --build "$build" -j2 >>"$log" 2>&1 || { echo "the unmutated tree does not build (see $log)" >&2; exit 1; }

ctest_args=(-j2 --timeout "$timeout")
[ -n "$exclude" ] && ctest_args+=(-E "$exclude")
start=$(date +%s)
if ! (cd "$build" && ctest "${ctest_args[@]}" >"$work/unmutated.txt" 2>&1); then
  echo "the unmutated suite fails: exclude those tests with --exclude (see $work/unmutated.txt)" >&2
  grep -E "\(Failed|\(Timeout|\*\*\*" "$work/unmutated.txt" | head -20 >&2
  exit 1
fi
tests_run=$(grep -Eo "tests passed, 0 tests failed out of [0-9]+" "$work/unmutated.txt" | grep -Eo "[0-9]+$")
echo "unmutated suite: $tests_run tests pass in $(( $(date +%s) - start )) s"

total=$(python3 "$helper" size "$list")
killed=0; survived=0; unbuilt=0
survivors=""; unbuilt_list=""
{
  echo "Mutation run $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "library: ${library:-working tree}   tests: ${tests:-working tree} ($tests_run tests)   excluded: ${exclude:-none}"
} >"$report"
for i in $(seq 1 "$total"); do
  if [ -n "$only" ] && ! [[ ",$only," == *",$i,"* ]]; then continue; fi
  what=$(python3 "$helper" describe "$list" "$i")
  python3 "$helper" apply "$list" "$src" "$i" >/dev/null
  t0=$(date +%s)
  if ! cmake --build "$build" -j2 >>"$log" 2>&1; then
    outcome="does not build"
    unbuilt=$((unbuilt + 1)); unbuilt_list+="  $i  $what"$'\n'
  # Without the timings of earlier runs ctest starts the tests in the order they are defined, the
  # stroke's own tests first, so a failure shows early instead of after the longest tests.
  elif rm -f "$build/Testing/Temporary/CTestCostData.txt" &&
       (cd "$build" && ctest "${ctest_args[@]}" --stop-on-failure >"$work/mutant-$i.txt" 2>&1); then
    outcome="SURVIVED"
    survived=$((survived + 1)); survivors+="  $i  $what"$'\n'
  else
    outcome="killed"
    killed=$((killed + 1))
    # Keep only what names the test that noticed.
    grep -E "\(Failed|\(Timeout|\(Subprocess|\(SEGFAULT|Exception" "$work/mutant-$i.txt" | head -3 >"$work/mutant-$i.killed" || true
  fi
  python3 "$helper" revert "$src"
  printf '%3d/%d %-14s %4ds  %s\n' "$i" "$total" "$outcome" "$(( $(date +%s) - t0 ))" "$what" | tee -a "$report"
done
# The original sources back in the build, so that the folder is left as the tree is.
cmake --build "$build" -j2 >>"$log" 2>&1 || true

scored=$((killed + survived))
{
  echo
  if [ "$scored" -gt 0 ]; then
    echo "killed $killed of $scored mutants ($(( (1000 * killed / scored + 5) / 10 ))%), $unbuilt not built, $(( ($(date +%s) - start) / 60 )) min"
  fi
  [ -n "$survivors" ] && { echo "survivors:"; printf '%s' "$survivors"; }
  [ -n "$unbuilt_list" ] && { echo "not built:"; printf '%s' "$unbuilt_list"; }
} | tee -a "$report"
