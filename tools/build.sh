#!/usr/bin/env bash
# Configures and builds one flavour: native (logic tier + unit tests), x86_64 or i686 (the DLL,
# the language files, the Wine tests and the demo).
set -euo pipefail
cd "$(dirname "$0")/.."
flavour=$1
case "$flavour" in
  native) args=(-DCMAKE_BUILD_TYPE=Debug) ;;
  x86_64|i686) args=(-DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-$flavour.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
  *) echo "usage: tools/build.sh native|x86_64|i686" >&2; exit 2 ;;
esac
[ -f "build/$flavour/build.ninja" ] || cmake -S . -B "build/$flavour" -G Ninja "${args[@]}" >/dev/null
cmake --build "build/$flavour"
