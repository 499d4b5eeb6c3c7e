#!/usr/bin/env bash
# Add a Favorite on a 10,000-folder tree: call -> dialog shown against a bare FindFirstFileA walk
# of the same tree (median of 7 runs each), and the library's heap allocations per folder.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/wine-env.sh
bash tools/build.sh x86_64 >/dev/null
commonq_display
commonq_prefix "$PWD/build/x86_64/benchmark-prefix"
cd build/x86_64/bin
wine FavoritesBenchmark.exe | tr -d '\r'
