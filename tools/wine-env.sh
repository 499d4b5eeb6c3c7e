# Sourced by the run scripts: a display and a fresh Wine prefix for one run.
#   commonq_display            starts Xvfb unless a working DISPLAY is set
#   commonq_display_usable [D] whether an X server answers on D (default: DISPLAY)
#   commonq_prefix DIR         makes a fresh prefix in DIR and exports WINEPREFIX
#   commonq_shipping_flavour   sets COMMONQ_FLAVOUR to the Release build that runs here
# The display must exist before the first Wine command of a prefix: a wineserver started without
# one leaves every later window of that prefix unable to show.

# commonq_display_usable [DISPLAY]: whether an X server answers on that display (default: $DISPLAY).
# xset comes with x11-xserver-utils, which tools/setup.sh installs.
commonq_display_usable() {
  local display=${1-${DISPLAY:-}}
  [ -n "$display" ] && DISPLAY=$display xset q >/dev/null 2>&1
}

commonq_display() {
  if commonq_display_usable; then return 0; fi
  local n
  for n in {91..98}; do
    [ -e "/tmp/.X${n}-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    COMMONQ_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in {1..50}; do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    trap 'status=$?; wineserver -k 2>/dev/null || true; kill $COMMONQ_XVFB_PID 2>/dev/null || true; exit $status' EXIT
    return 0
  done
  echo "no free X display number for Xvfb" >&2
  return 1
}

commonq_prefix() {
  local dir=$1
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  [ -d "$dir" ] && WINEPREFIX="$dir" wineserver -k 2>/dev/null || true
  rm -rf "$dir" && mkdir -p "$dir"
  export WINEPREFIX=$dir
  wineboot -i >/dev/null 2>&1 || true
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  ln -sf /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  wineserver -p >/dev/null 2>&1 || true
}

# commonq_winver EXE VERSION: the Windows version Wine reports to one executable.
commonq_winver() {
  wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$1" /v Version /d "$2" /f >/dev/null 2>&1
}

# The build of the DLL users get that this machine can run: release-i686 where 32-bit programs run,
# else release-x86_64, with COMMONQ_FLAVOUR_NOTE saying why the i686 one is not used.
commonq_shipping_flavour() {
  if COMMONQ_FLAVOUR_NOTE=$(bash "$(dirname "${BASH_SOURCE[0]}")/i686-runnable.sh"); then
    COMMONQ_FLAVOUR=release-i686
  else
    COMMONQ_FLAVOUR=release-x86_64
    COMMONQ_FLAVOUR_NOTE="not the i686 one: $COMMONQ_FLAVOUR_NOTE"
  fi
}
