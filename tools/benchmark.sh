#!/usr/bin/env bash
# Each export against the bare platform call that shows the same dialog (median time from the
# call until the dialog is up and idle, 30 runs each, alternating), where the message box's time
# goes (before its window exists, and until it is shown), then the median time from the
# call of TaskDialogIndirect98 to TDN_CREATED for the rich configuration, 50 runs each: emulated
# (the copy that Wine runs as Windows XP) and native, and their ratio.
# The first part also times the file information dialog without and with an 8192 x 8192 32-bit
# preview, and one repaint of its preview for an 8192 x 8192 source against a 64 x 64 one.
# Last, the logic tier's hot paths (the rich task dialog's layout and its template), built natively
# in build/native-bench: optimised and without the sanitizers of the test build.
# It measures the DLL users get: the i686 Release DLL where this machine runs 32-bit programs, the
# x86_64 Release DLL otherwise, and says which.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/wine-env.sh
commonq_shipping_flavour
flavour=$COMMONQ_FLAVOUR
bash tools/build.sh "$flavour" >/dev/null
echo "measuring build/$flavour/bin/CommonQ.dll${COMMONQ_FLAVOUR_NOTE:+ ($COMMONQ_FLAVOUR_NOTE)}"
commonq_display
commonq_prefix "$PWD/build/$flavour/benchmark-prefix"
commonq_winver TaskDialogBenchmark_xp.exe winxp
cd "build/$flavour/bin"
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
