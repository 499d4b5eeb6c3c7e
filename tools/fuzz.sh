#!/usr/bin/env bash
# Builds the logic tier with clang and runs the fuzz targets: tools/fuzz.sh [libFuzzer options]
# (default: a bounded run of 20000 inputs; pass -max_total_time=600 for a longer one).
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/fuzz/build.ninja ] || CXX=clang++ CC=clang cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/fuzz --target template_writer_fuzz
mkdir -p build/fuzz/corpus
if [ $# -eq 0 ]; then set -- -runs=20000; fi
build/fuzz/template_writer_fuzz -artifact_prefix=build/fuzz/ build/fuzz/corpus "$@"
