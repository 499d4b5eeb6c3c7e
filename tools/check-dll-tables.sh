#!/bin/bash
# check-dll-tables.sh [--version X.Y.Z] [--stripped] [--max-bytes N] OBJDUMP DLL DEF
#
# Checks a built CommonQ.dll against its module definition file:
#  - the export table names exactly the functions in DEF's EXPORTS section, each once and
#    undecorated (a stdcall "@N" or a leading "_" means the host's GetProcAddress by plain name
#    would fail, and shows as a name missing and another one extra);
#  - every imported DLL is a system DLL, so the DLL runs from the host's folder on its own
#    (a libstdc++/libgcc/libwinpthread import means the static runtime link was lost);
#  - --version: the VERSIONINFO resource is there, with that file and product version, a file
#    description and the product name;
#  - --stripped (a Release DLL): no symbols and no debug sections in the DLL; its .gnu_debuglink
#    names a debug file beside it whose checksum matches and which holds the debug information;
#    and whose symbols name no test seam (a function "...ForTesting" exists only in test builds);
#  - --max-bytes: the DLL is at most that large.
# Exit status: 0 passed, 1 failed, 2 usage error, 77 OBJDUMP unavailable (CTest skips).
set -u
export LC_ALL=C

usage() { echo "usage: $0 [--version X.Y.Z] [--stripped] [--max-bytes N] OBJDUMP DLL DEF" >&2; exit 2; }
version='' stripped=0 max_bytes=''
while [ $# -gt 0 ]; do
  case "$1" in
    --version) [ $# -ge 2 ] || usage; version=$2; shift 2 ;;
    --stripped) stripped=1; shift ;;
    --max-bytes) [ $# -ge 2 ] && [[ $2 =~ ^[0-9]+$ ]] || usage; max_bytes=$2; shift 2 ;;
    --*) usage ;;
    *) break ;;
  esac
done
[ $# -eq 3 ] || usage
objdump=$1 dll=$2 def=$3

command -v "$objdump" >/dev/null 2>&1 || { echo "check-dll-tables: $objdump not found, cannot check $dll" >&2; exit 77; }
for f in "$dll" "$def"; do
  [ -f "$f" ] || { echo "check-dll-tables: FAIL: $f does not exist" >&2; exit 1; }
done
dump=$("$objdump" -p "$dll" 2>&1) || { printf '%s\n' "check-dll-tables: FAIL: $objdump -p $dll failed:" "$dump" >&2; exit 1; }

# The names a DEF line exports: "Name", "Name@8", "Name = Internal", "Name @3", "Name DATA".
# An alias exports its left-hand side; "@N" is dropped as --kill-at drops it from the export;
# NONAME entries have no name in the table at all.
expected=$(awk '
  { sub(/;.*/, ""); sub(/\r$/, "") }
  toupper($1) ~ /^(LIBRARY|NAME|DESCRIPTION|STACKSIZE|HEAPSIZE|CODE|DATA|SECTIONS|IMPORTS|VERSION)$/ { exports = 0; next }
  toupper($1) == "EXPORTS" { exports = 1; sub(/^[ \t]*[^ \t]+/, "") }
  exports && toupper($0) !~ /(^|[ \t])NONAME([ \t]|$)/ && match($0, /[^ \t=@]+/) { print substr($0, RSTART, RLENGTH) }' "$def" | sort -u)
actual=$(printf '%s\n' "$dump" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^[[:space:]]*$/s/^[[:space:]]*\[ *[0-9]*\] *//p' | sort)
imports=$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p')
delay=$(printf '%s\n' "$dump" | awk '/^Entry d / { print $3 }')

failures=()
# One line per list, for the messages.
flat() { printf '%s\n' "$1" | sed '/^$/d' | paste -sd ' ' -; }
echo "exports of $dll: $(flat "$actual")"
echo "imported DLLs: $(flat "$imports")"

[ -z "$expected" ] && failures+=("$def has no EXPORTS entries")
missing=$(comm -23 <(printf '%s\n' "$expected") <(printf '%s\n' "$actual" | sort -u) | sed '/^$/d')
extra=$(comm -13 <(printf '%s\n' "$expected") <(printf '%s\n' "$actual" | sort -u) | sed '/^$/d')
duplicated=$(printf '%s\n' "$actual" | uniq -d | sed '/^$/d')
[ -n "$missing" ] && failures+=("not exported although in $def: $(flat "$missing")")
[ -n "$extra" ] && failures+=("exported but not in $def: $(flat "$extra")")
[ -n "$duplicated" ] && failures+=("exported more than once: $(flat "$duplicated")")

allowed='^(kernel32|user32|gdi32|comdlg32|comctl32|advapi32|shell32|shlwapi|ole32|oleaut32|msimg32|msvcrt|uxtheme|api-ms-win-crt-[a-z0-9-]+|api-ms-win-core-[a-z0-9-]+)\.dll$'
foreign=$(printf '%s\n' "$imports" | sed '/^$/d' | grep -viE "$allowed" || true)
[ -n "$foreign" ] && failures+=("imports non-system DLLs: $(flat "$foreign")")
# objdump does not list delay-loaded DLLs by name, so they would escape the allow-list.
if [ -n "$delay" ] && [ "$((16#$delay))" -ne 0 ]; then
  failures+=("has a delay-load import table, which this check cannot vet")
fi

size=$(stat -c %s "$dll")
echo "size: $size bytes"
[ -n "$max_bytes" ] && [ "$size" -gt "$max_bytes" ] && failures+=("$size bytes, more than the $max_bytes allowed")

if [ -n "$version" ]; then
  # The StringFileInfo keys and values are UTF-16LE; a missing resource lacks all of them.
  missing_version=$(python3 -c '
import sys
data = open(sys.argv[1], "rb").read()
print(" ".join(text for text in sys.argv[2:] if (text + "\0").encode("utf-16-le") not in data))' "$dll" \
    VS_VERSION_INFO FileVersion ProductVersion FileDescription ProductName "Qelm Explorer" "$version")
  [ -n "$missing_version" ] && failures+=("VERSIONINFO lacks: $missing_version")
fi

if [ "$stripped" = 1 ]; then
  sections=$("$objdump" -h "$dll" | awk '$1 ~ /^[0-9]+$/ { print $2 }')
  debug_sections=$(printf '%s\n' "$sections" | grep -E '^\.(debug|zdebug)' || true)
  [ -n "$debug_sections" ] && failures+=("not stripped, has debug sections: $(flat "$debug_sections")")
  printf '%s\n' "$dump" | grep -Eq '^PointerToSymbolTable[[:space:]]+0*[1-9a-fA-F]' &&
    failures+=("not stripped, has a symbol table")
  if ! printf '%s\n' "$sections" | grep -qx '.gnu_debuglink'; then
    failures+=("no .gnu_debuglink section naming its debug file")
  else
    # The section holds the file name, NUL padding to four bytes, and the file's CRC-32.
    if debug_file=$("${objdump%objdump}objcopy" --dump-section .gnu_debuglink=/dev/stdout "$dll" /dev/null 2>/dev/null |
      python3 -c '
import os, struct, sys, zlib
data = sys.stdin.buffer.read()
name = data.split(b"\0", 1)[0].decode("ascii", "replace")
path = os.path.join(sys.argv[1], name)
if not os.path.isfile(path):
    sys.exit(f"{name} (named by .gnu_debuglink) is not beside the DLL")
if struct.unpack("<I", data[(len(name) + 4) & ~3:][:4])[0] != zlib.crc32(open(path, "rb").read()):
    sys.exit(f"{name} does not match the DLL\x27s .gnu_debuglink checksum")
print(path)' "$(dirname "$dll")" 2>&1); then
      echo "debug file: $debug_file ($(stat -c %s "$debug_file") bytes)"
      "$objdump" -h "$debug_file" | grep -q ' \.debug_info ' || failures+=("$debug_file holds no .debug_info")
      seams=$("$objdump" -t "$debug_file" | grep -o '[A-Za-z0-9_]*ForTesting[A-Za-z0-9_]*' | sort -u || true)
      [ -n "$seams" ] && failures+=("test seams in the Release DLL: $(flat "$seams")")
    else
      failures+=("$debug_file")
    fi
  fi
fi

[ ${#failures[@]} -eq 0 ] || { printf 'check-dll-tables: FAIL: %s\n' "${failures[@]}" >&2; exit 1; }
echo "check-dll-tables: OK: $(printf '%s\n' "$actual" | grep -c .) exports match $def, imports are system DLLs only"
