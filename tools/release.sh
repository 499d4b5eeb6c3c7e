#!/usr/bin/env bash
# Builds the Release configuration for both architectures and packs each into its ZIP:
# build/release-<arch>/package/CommonQ-<version>-<arch>.zip with bin/CommonQ.dll (stripped) and
# CommonQ.dll.debug, bin/Languages/, lib/ (libCommonQ.dll.a for MinGW, CommonQ.lib for MSVC),
# include/CommonQ.h, lib/cmake/CommonQ/ (find_package(CommonQ)), languages/ (the language-file
# builder and the German sample table), README.md and LICENSE. Lists what each archive holds.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
for arch in i686 x86_64; do
  echo "== release $arch"
  bash tools/build.sh "release-$arch"
  (cd "build/release-$arch" && cpack --config CPackConfig.cmake >/dev/null)
done
for arch in i686 x86_64; do
  for zip in build/release-"$arch"/package/CommonQ-*-"$arch".zip; do
    echo "== $zip ($(stat -c %s "$zip") bytes)"
    unzip -l "$zip" 2>/dev/null || cmake -E tar tvf "$zip"
  done
done
