#!/usr/bin/env bash
# Builds the logic tier with clang and runs every fuzz target: tools/fuzz.sh [libFuzzer options]
# (default: a bounded run of 20000 inputs each; pass -max_total_time=600 for a longer one).
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/fuzz/build.ninja ] || CXX=clang++ CC=clang cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
targets=(template_writer_fuzz commonq_fuzz_filter_scale preview_dib_fuzz)
cmake --build build/fuzz --target "${targets[@]}"
if [ $# -eq 0 ]; then set -- -runs=20000; fi
for target in "${targets[@]}"; do
  mkdir -p "build/fuzz/corpus/$target"
  echo "fuzzing $target"
  "build/fuzz/$target" -artifact_prefix=build/fuzz/ "build/fuzz/corpus/$target" "$@" 2>&1 | tail -2
done
