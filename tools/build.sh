#!/usr/bin/env bash
# Configures and builds one flavour: native (logic tier + unit tests), x86_64 or i686 (the
# developer build: the DLL, the language files, the Wine tests and the demo), release-x86_64 or
# release-i686 (what users get: the stripped DLL with its debug file, the import libraries, the
# install layout and the release archive, with the SDK tests).
set -euo pipefail
cd "$(dirname "$0")/.."
flavour=${1:-}
# The i686 Wine tests are registered only where 32-bit code can run: listing them already starts the
# 32-bit test program.
wine_tests=ON
case "$flavour" in
  *i686) bash tools/i686-runnable.sh >/dev/null || wine_tests=OFF ;;
esac
case "$flavour" in
  native) args=(-DCMAKE_BUILD_TYPE=Debug) ;;
  x86_64 | i686)
    args=(-DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-$flavour.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo
          -DCOMMONQ_WINE_TESTS=$wine_tests) ;;
  release-x86_64 | release-i686)
    args=(-DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-${flavour#release-}.cmake" -DCMAKE_BUILD_TYPE=Release
          -DCOMMONQ_WINE_TESTS=$wine_tests) ;;
  *) echo "usage: tools/build.sh native|x86_64|i686|release-x86_64|release-i686" >&2; exit 2 ;;
esac
cmake -S . -B "build/$flavour" -G Ninja "${args[@]}" >/dev/null
cmake --build "build/$flavour"
