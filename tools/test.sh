#!/usr/bin/env bash
# Installs what is missing, builds every flavour it tests and runs all tests:
#  - native: the logic tier's unit tests under AddressSanitizer and UndefinedBehaviorSanitizer, the
#    static checks and the fuzz targets (bounded runs);
#  - x86_64 (the test build, with its test seams): the DLL checks and the whole Wine suite;
#  - release-i686 (the DLL users get) and release-x86_64: the DLL checks (the i686 DLL's 400 KB
#    bound among them), the SDK tests and the same Wine suite but for the few white-box cases that
#    need a test seam. The i686 Wine suite runs where this machine runs 32-bit programs (32-bit
#    Wine is installed by tools/setup.sh there); elsewhere the run says why it did not.
# Each Wine run gets a fresh prefix. The last lines say, per DLL, which suites ran.
#
#   --long   also runs the long modes: 1000 calls of every export in one process (the soak) and
#            longer fuzzing runs.
set -euo pipefail
cd "$(dirname "$0")/.."
long=0
[ "${1:-}" = --long ] && long=1
bash tools/setup.sh
source tools/wine-env.sh

for flavour in native x86_64 release-x86_64 release-i686; do
  echo "== building $flavour"
  bash tools/build.sh "$flavour"
done

echo "== native unit tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
ctest --test-dir build/native --output-on-failure -j "$(nproc)"
tested=("native: unit tests and static checks")

if command -v clang++ >/dev/null; then
  echo "== fuzzing every parser of outside text or bytes (clang, libFuzzer, ASan, UBSan; bounded runs, 10^6 with --long)"
  if [ "$long" = 1 ]; then bash tools/fuzz.sh --long; else bash tools/fuzz.sh -runs=20000; fi
  tested[0]+=", fuzz targets"
fi

commonq_display
# The demo opens its window only where a display answers: the check must see this one and no other.
commonq_display_usable || { echo "the display check does not see the display the tests run on ($DISPLAY)" >&2; exit 1; }
for n in 70 71 72 73 74 75; do
  [ -e "/tmp/.X11-unix/X$n" ] && continue
  ! commonq_display_usable ":$n" || { echo "the display check sees a display that does not exist (:$n)" >&2; exit 1; }
  break
done

for flavour in x86_64 release-x86_64 release-i686; do
  dll="build/$flavour/bin/CommonQ.dll"
  if [ "$flavour" = release-i686 ] && ! why=$(bash tools/i686-runnable.sh); then
    echo "== $flavour: no Wine tests here ($why); the DLL checks and the SDK built and linked"
    ctest --test-dir "build/$flavour" --output-on-failure -LE wine
    tested+=("$dll (i686 Release, shipping): DLL checks, SDK; NO Wine suite: $why")
    continue
  fi
  echo "== $flavour: the DLL checks, the SDK tests and the Wine suite in a fresh prefix"
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
  case "$flavour" in
    x86_64) tested+=("$dll (x86_64 test build): DLL checks, Wine suite with the seam-based cases") ;;
    release-x86_64) tested+=("$dll (x86_64 Release): DLL checks, SDK, Wine suite") ;;
    release-i686) tested+=("$dll (i686 Release, shipping): DLL checks, SDK, Wine suite under 32-bit Wine") ;;
  esac
done
bash tools/line-count.sh
echo "== tested:"
printf '   - %s\n' "${tested[@]}"
