#!/usr/bin/env bash
# Each export against the bare platform call that shows the same dialog (median time from the
# call until the dialog is up and idle, 30 runs each, alternating), then the median time from the
# call of TaskDialogIndirect98 to TDN_CREATED for the rich configuration, 50 runs each: emulated
# (the copy that Wine runs as Windows XP) and native, and their ratio.
# The first part also times the file information dialog without and with an 8192 x 8192 32-bit
# preview, and one repaint of its preview for an 8192 x 8192 source against a 64 x 64 one.
# Last, the logic tier's hot paths (the rich task dialog's layout and its template), built natively
# in build/native-bench: optimised and without the sanitizers of the test build.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/wine-env.sh
bash tools/build.sh x86_64 >/dev/null
commonq_display
commonq_prefix "$PWD/build/x86_64/benchmark-prefix"
commonq_winver TaskDialogBenchmark_xp.exe winxp
cd build/x86_64/bin
wine ExportBenchmark.exe 2>/dev/null | tr -d '\r'
emulated=$(wine TaskDialogBenchmark_xp.exe | tr -d '\r')
native=$(wine TaskDialogBenchmark.exe | tr -d '\r')
echo "emulated: $emulated"
echo "native:   $native"
awk -v e="${emulated%% *}" -v n="${native%% *}" 'BEGIN { printf "emulated / native = %.2f\n", e / n }'
cd ../../..
echo "logic tier (Google Benchmark, Release, no sanitizers):"
cmake -S . -B build/native-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DCOMMONQ_SANITIZE=OFF >/dev/null
cmake --build build/native-bench --target commonq_logic_benchmark >/dev/null
# (Debian's libbenchmark warns that it was itself built as DEBUG; the code timed is optimised.)
build/native-bench/commonq_logic_benchmark --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
