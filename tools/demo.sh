#!/usr/bin/env bash
# Builds the library and runs the demo host under Wine on the DLL users get: the i686 Release DLL
# where this machine runs 32-bit programs, the x86_64 Release DLL otherwise. With a working display
# it opens the demo window; headless (or with --gallery) it starts its own Xvfb and writes the PNG
# gallery of every dialog, whose index names the DLL that drew it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
source tools/wine-env.sh
flavour=release-x86_64
if why=$(bash tools/i686-runnable.sh); then flavour=release-i686; else echo "demo: the x86_64 Release DLL ($why)"; fi
bash tools/build.sh "$flavour"

interactive=0
if commonq_display_usable && [ "${1:-}" != --gallery ]; then interactive=1; fi
commonq_display
commonq_prefix "$PWD/build/$flavour/demo-prefix"
commonq_winver CommonQDemo_xp.exe winxp
commonq_winver CommonQModernShots.exe winxp
if [ "$interactive" = 1 ]; then
  cd "build/$flavour/bin"
  exec wine CommonQDemo.exe
fi
# The emulated task dialog in the look of common controls 6 needs a test seam, which only the
# test build has: that one program comes from build/x86_64.
bash tools/build.sh x86_64 >/dev/null
gallery=$PWD/build/gallery
rm -rf "$gallery"
mkdir -p "$gallery"
(cd "build/$flavour/bin" &&
   wine CommonQDemo.exe --gallery "$(winepath -w "$gallery")" | tr -d '\r' &&
   wine CommonQDemo_xp.exe --gallery "$(winepath -w "$gallery")" | tr -d '\r')
(cd build/x86_64/bin && wine CommonQModernShots.exe --gallery "$(winepath -w "$gallery")" | tr -d '\r')
# Every picture the two pages show must have been written.
cd "$gallery"
missing=$(for page in index.html taskdialogs.html; do
  [ -f "$page" ] && grep -o 'src="[^"]*"' "$page" | sed 's/^src="//; s/"$//' || echo "$page"
done | sort -u | while read -r file; do [ -s "$file" ] || echo "$file"; done)
if [ -n "$missing" ]; then
  echo "gallery incomplete; missing:" $missing >&2
  exit 1
fi
echo "gallery written to $gallery by $(grep -o 'Drawn by [^<]*' index.html): $(ls *.png | wc -l) pictures"
