#!/usr/bin/env bash
# Builds the logic tier with clang under AddressSanitizer and UndefinedBehaviorSanitizer and runs
# every fuzz target:
#   tools/fuzz.sh                 a bounded run of 20000 inputs each (what the test command runs)
#   tools/fuzz.sh --long          10^6 inputs each, with the runs, time and findings of each target
#   tools/fuzz.sh [options]       the given libFuzzer options (such as -max_total_time=600)
# Each target keeps its corpus in build/fuzz/corpus/<target>; a finding is written to
# build/fuzz/crash-* (or leak-*, timeout-*) and makes the script fail.
set -euo pipefail
cd "$(dirname "$0")/.."
CXX=clang++ CC=clang cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
# The targets are the ones cmake/native.cmake defines, as it lists them for this script.
mapfile -t targets < build/fuzz/fuzz_targets.txt
cmake --build build/fuzz --target "${targets[@]}"
long=0
if [ "${1:-}" = --long ]; then
  long=1
  shift
  set -- -runs=1000000 "$@"
fi
[ $# -gt 0 ] || set -- -runs=20000
failed=() summary=()
for target in "${targets[@]}"; do
  mkdir -p "build/fuzz/corpus/$target"
  echo "fuzzing $target"
  log=build/fuzz/$target.log start=$SECONDS
  if "build/fuzz/$target" -artifact_prefix=build/fuzz/ "build/fuzz/corpus/$target" "$@" >"$log" 2>&1; then
    tail -2 "$log"
    summary+=("$target: $(grep -o 'Done [0-9]* runs' "$log" | grep -o '[0-9]*' || echo ?) runs in $((SECONDS - start))s, no finding")
  else
    failed+=("$target")
    grep -E 'ERROR|runtime error|deadly signal|Test unit written' "$log" | head -5 || true
    summary+=("$target: FINDING after $((SECONDS - start))s (see $log)")
  fi
done
if [ "$long" = 1 ] || [ ${#failed[@]} -gt 0 ]; then
  printf '%s\n' "fuzzing summary:" "${summary[@]/#/   }"
fi
[ ${#failed[@]} -eq 0 ] || { echo "fuzzing found faults in: ${failed[*]}" >&2; exit 1; }
