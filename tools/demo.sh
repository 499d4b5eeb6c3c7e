#!/usr/bin/env bash
# Builds the library and runs the demo host under Wine: interactively when a display is set,
# otherwise headless on its own Xvfb, writing the PNG gallery of every dialog.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
source tools/wine-env.sh
bash tools/build.sh x86_64

interactive=0
if [ -n "${DISPLAY:-}" ] && xset q >/dev/null 2>&1; then interactive=1; fi
commonq_display
commonq_prefix "$PWD/build/x86_64/demo-prefix"
commonq_winver CommonQDemo_xp.exe winxp
commonq_winver CommonQModernShots.exe winxp
cd build/x86_64/bin
if [ "$interactive" = 1 ] && [ "${1:-}" != "--gallery" ]; then
  exec wine CommonQDemo.exe
fi
gallery=$(cd ../.. && pwd)/gallery
rm -rf "$gallery"
mkdir -p "$gallery"
wine CommonQDemo.exe --gallery "$(winepath -w "$gallery")" | tr -d '\r'
wine CommonQDemo_xp.exe --gallery "$(winepath -w "$gallery")" | tr -d '\r'
wine CommonQModernShots.exe --gallery "$(winepath -w "$gallery")" | tr -d '\r'
# Every picture the two pages show must have been written.
cd "$gallery"
missing=$(for page in index.html taskdialogs.html; do
  [ -f "$page" ] && grep -o 'src="[^"]*"' "$page" | sed 's/^src="//; s/"$//' || echo "$page"
done | sort -u | while read -r file; do [ -s "$file" ] || echo "$file"; done)
if [ -n "$missing" ]; then
  echo "gallery incomplete; missing:" $missing >&2
  exit 1
fi
echo "gallery written to $gallery: $(ls *.png | wc -l) pictures"
ls
