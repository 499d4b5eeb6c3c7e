#!/usr/bin/env bash
# CTest's emulator for the cross-compiled executables. tools/test.sh prepares the prefix and the
# display; run by hand, point WINEPREFIX and DISPLAY at a prepared pair first.
[ -n "${WINEPREFIX:-}" ] && [ -n "${DISPLAY:-}" ] ||
  { echo "wine-run.sh: WINEPREFIX and DISPLAY must be set (use tools/test.sh)" >&2; exit 2; }
export WINEDEBUG=${WINEDEBUG:--all}
exec wine "$@"
