#!/usr/bin/env bash
# Installs what is missing, builds every flavour and runs all tests: the native unit tests under
# the sanitizers, the DLL checks of both Windows builds, and the Wine tests of the x86_64 build
# (and of the i686 build where 32-bit Wine is installed); then the Release builds (what users get):
# the release DLL checks (the i686 DLL's 400 KB bound among them) and the SDK tests, whose x86_64
# programs run under Wine. Each Wine run gets a fresh prefix. The last line is the count of
# production and test lines (tools/line-count.sh).
#
#   --long   also runs the long modes: 1000 calls of every export in one process (the soak) and
#            longer fuzzing runs.
set -euo pipefail
cd "$(dirname "$0")/.."
long=0
[ "${1:-}" = --long ] && long=1
bash tools/setup.sh
source tools/wine-env.sh

for flavour in native x86_64 i686 release-x86_64 release-i686; do
  echo "== building $flavour"
  bash tools/build.sh "$flavour"
done

echo "== native unit tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
ctest --test-dir build/native --output-on-failure -j "$(nproc)"

if command -v clang++ >/dev/null; then
  echo "== fuzzing every parser of outside text or bytes (clang, libFuzzer, ASan, UBSan; bounded runs, 10^6 with --long)"
  if [ "$long" = 1 ]; then bash tools/fuzz.sh --long; else bash tools/fuzz.sh -runs=20000; fi
fi

commonq_display
tested=("native unit tests")
for flavour in x86_64 i686; do
  if [ "$flavour" = i686 ] && ! why=$(bash tools/i686-runnable.sh); then
    echo "== i686: no Wine tests here ($why); checking the DLL's tables and language files"
    ctest --test-dir build/i686 --output-on-failure -LE wine
    tested+=("i686 DLL checks (no Wine tests: $why)")
    continue
  fi
  echo "== $flavour: Wine tests in a fresh prefix"
  commonq_prefix "$PWD/build/$flavour/wineprefix"
  commonq_winver commonq_wine_tests_xp.exe winxp
  ctest --test-dir "build/$flavour" --output-on-failure --timeout 120
  if [ "$long" = 1 ]; then
    echo "== $flavour: soak, 1000 calls of every export (forwarded, then emulated task dialog)"
    (cd "build/$flavour/bin" &&
       COMMONQ_SOAK_CALLS=1000 ../../../tests/support/wine-run.sh commonq_wine_tests.exe --gtest_filter='EveryExport/EveryExportTest.*' &&
       COMMONQ_SOAK_CALLS=1000 ../../../tests/support/wine-run.sh commonq_wine_tests_xp.exe --gtest_filter='EveryExport/EveryExportTest.*TaskDialog*') |
      tr -d '\r' | grep -E 'calls/s|OK|FAILED|PASSED'
  fi
  wineserver -k 2>/dev/null || true
  tested+=("$flavour DLL checks and Wine tests")
done
echo "== release-i686: DLL checks (stripped, debug file, 400 KB) and the SDK built and linked; no program is started"
ctest --test-dir build/release-i686 --output-on-failure
tested+=("release-i686 DLL and SDK checks")
echo "== release-x86_64: DLL checks, and the MSVC host and the CMake and archive consumers under Wine in a fresh prefix"
commonq_prefix "$PWD/build/release-x86_64/wineprefix"
ctest --test-dir build/release-x86_64 --output-on-failure
wineserver -k 2>/dev/null || true
tested+=("release-x86_64 DLL and SDK checks with the SDK's programs under Wine")
echo "== tested:"
printf '   - %s\n' "${tested[@]}"
bash tools/line-count.sh
