#!/usr/bin/env bash
# Can this machine run the i686 build's Wine tests? Prints one line saying why not and exits 1,
# or exits 0 silently. Two things are needed: a kernel that executes 32-bit x86 code, tried with a
# nine-byte i386 program that only exits, and a 32-bit Wine (wine32:i386, which tools/setup.sh
# installs wherever the kernel passes). With --kernel only the kernel is asked (tools/setup.sh
# asks that before it installs anything); otherwise the package is checked first, so on a machine
# without it nothing 32-bit is ever started.
set -u
if [ "${1:-}" != --kernel ] && ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "ok installed"; then
  echo "32-bit Wine (wine32:i386) is not installed; Debian's Wine 8 has no WoW64 mode to stand in for it"
  exit 1
fi
probe=$(mktemp)
trap 'rm -f "$probe"' EXIT
python3 - "$probe" <<'PY'
import struct, sys
code = bytes([0xB8, 1, 0, 0, 0, 0x31, 0xDB, 0xCD, 0x80])  # mov eax,1; xor ebx,ebx; int 0x80
base, eh_size, ph_size = 0x08048000, 52, 32
size = eh_size + ph_size + len(code)
header = b"\x7fELF" + bytes([1, 1, 1, 0]) + bytes(8) + struct.pack("<HHIIIIIHHHHHH", 2, 3, 1, base + eh_size + ph_size, eh_size, 0, 0,
                      eh_size, ph_size, 1, 0, 0, 0)
program = struct.pack("<IIIIIIII", 1, 0, base, base, size, size, 5, 0x1000)
open(sys.argv[1], "wb").write(header + program + code)
PY
chmod +x "$probe"
"$probe" 2>/dev/null || { echo "the kernel does not run 32-bit x86 programs"; exit 1; }
