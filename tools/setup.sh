#!/usr/bin/env bash
# Installs what building and running CommonQ needs on a fresh Debian machine. Idempotent: when
# everything is already there it returns without touching apt.
set -euo pipefail
packages=(cmake ninja-build g++ python3 googletest
          g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
          wine wine64 fonts-wine xvfb x11-apps x11-xserver-utils imagemagick xauth clang libclang-rt-14-dev
          llvm lld libbenchmark-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  # A broken optional index (such as i386 during a mirror sync) must not stop the install.
  "${sudo_cmd[@]}" apt-get update -qq || echo "setup: apt-get update reported errors; trying the install anyway"
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The shipping DLL is 32-bit, so its Wine tests need 32-bit Wine: installed wherever the kernel
# runs 32-bit programs. Where it does not, or the i386 packages cannot be had, one line says so
# and the 64-bit tests go on alone.
if dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "ok installed"; then
  :
elif ! why=$(bash "$(dirname "$0")/i686-runnable.sh" --kernel); then
  echo "setup: no 32-bit Wine: $why"
else
  echo "setup: installing wine32:i386 (this kernel runs 32-bit programs)"
  if ! { "${sudo_cmd[@]}" dpkg --add-architecture i386 &&
         { "${sudo_cmd[@]}" apt-get update -qq || true; } &&
         DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends wine32:i386 >/dev/null; }; then
    echo "setup: no 32-bit Wine: the i386 packages could not be installed; the i686 Wine tests will not run"
  fi
fi
