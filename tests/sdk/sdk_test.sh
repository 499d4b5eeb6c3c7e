#!/usr/bin/env bash
# sdk_test.sh MODE ARCH BUILD_DIR SOURCE_DIR: the SDK of a Release build, used as a customer would.
#   msvc     a C host compiled with clang for ARCH-pc-windows-msvc and linked with lld-link against
#            lib/CommonQ.lib; it takes the address of every export in CommonQ.def, so the link
#            resolves them all, and the program imports each by its plain name from CommonQ.dll
#   package  cmake --install, then a consumer project finds the package with find_package(CommonQ)
#            and builds; the package refuses a project of the other architecture
#   archive  cpack's ZIP, unpacked: its contents, the language-file builder from it, and the
#            consumer built against it
# The x86_64 programs run under Wine (tools/test.sh prepares WINEPREFIX and DISPLAY); i686
# programs are built and checked, never started.
set -euo pipefail
export LC_ALL=C
[ $# -eq 4 ] || { echo "usage: $0 msvc|package|archive ARCH BUILD_DIR SOURCE_DIR" >&2; exit 2; }
mode=$1 arch=$2 build=$(realpath "$3") source=$(realpath "$4")
triple=$arch-w64-mingw32
def=$source/src/CommonQ.def
work=$build/sdk-test/$mode
rm -rf "$work"
mkdir -p "$work"

fail() {
  echo "sdk_test $mode: FAIL: $*" >&2
  exit 1
}

# The names CommonQ.def exports, as in tools/check-dll-tables.sh: one per line, undecorated.
def_exports() {
  awk '
    { sub(/;.*/, ""); sub(/\r$/, "") }
    /^[ \t]*$/ { next }
    {
      keyword = toupper($1)
      if (keyword ~ /^(LIBRARY|NAME|DESCRIPTION|STACKSIZE|HEAPSIZE|CODE|DATA|SECTIONS|IMPORTS|VERSION)$/) { in_exports = 0; next }
      if (keyword == "EXPORTS") { in_exports = 1; $1 = ""; if ($0 ~ /^[ \t]*$/) next }
      if (!in_exports || toupper($0) ~ /(^|[ \t])NONAME([ \t]|$)/) next
      line = $0
      sub(/^[ \t]+/, "", line)
      split(line, parts, /[ \t=]+/)
      name = parts[1]
      sub(/@[0-9]+$/, "", name)
      if (name != "") print name
    }' "$def" | sort -u
}

# The names PROGRAM imports from CommonQ.dll, one per line.
imports_from_commonq() {
  "$triple-objdump" -p "$1" | awk '
    /DLL Name:/ { inside = (tolower($NF) == "commonq.dll"); next }
    inside && /^[ \t]*$/ { inside = 0 }
    inside && /^[ \t]*[0-9a-fA-F]+[ \t]+[0-9]+[ \t]+[^ \t]+$/ { print $3 }' | sort -u
}

# Runs an x86_64 program under Wine with message 3031 already suppressed ("DoNot" bit 0x2), the
# state in which the program's calls return at once. Its exit code is the bit set of failed checks.
run_host() {
  local program=$1
  [ "$arch" = x86_64 ] || return 0
  "$source/tests/support/wine-run.sh" reg add 'HKCU\Software\Dravonix\Qelm Explorer\Common' \
    /v DoNot /t REG_DWORD /d 2 /f >/dev/null
  local status=0
  (cd "$(dirname "$program")" && "$source/tests/support/wine-run.sh" "$(basename "$program")") || status=$?
  [ "$status" -eq 0 ] || fail "$(basename "$program") under Wine: failed checks $status (1 message box, 2 format options, 4 task dialog, 8 export addresses)"
  echo "$(basename "$program") ran under Wine: every check passed"
}

# Configures and builds the consumer project against the SDK in PREFIX with the MinGW toolchain.
build_consumer() {
  local prefix=$1 out=$2
  cmake -S "$source/tests/sdk/consumer" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$source/cmake/toolchain-$arch.cmake" -DCMAKE_PREFIX_PATH="$prefix" >"$out.log" 2>&1 ||
    { cat "$out.log"; fail "the consumer project did not configure against $prefix"; }
  cmake --build "$out" >>"$out.log" 2>&1 || { cat "$out.log"; fail "the consumer project did not build against $prefix"; }
  local program=$out/commonq_consumer.exe
  [ -f "$out/CommonQ.dll" ] || fail "CommonQ::CommonQ's DLL was not copied beside the consumer"
  cmp -s "$out/CommonQ.dll" "$prefix/bin/CommonQ.dll" || fail "the consumer got another CommonQ.dll than the SDK's"
  [ "$(imports_from_commonq "$program")" = "$(printf '%s\n' MessageBoxDoModal DlgFormatOptionDoModal TaskDialogIndirect98 | sort)" ] ||
    fail "the consumer does not import its three functions by plain name: $(imports_from_commonq "$program" | paste -sd ' ')"
  echo "consumer built against $prefix"
  run_host "$program"
}

check_layout() {
  local prefix=$1 f
  for f in bin/CommonQ.dll bin/CommonQ.dll.debug bin/Languages/QelmLang.deu lib/libCommonQ.dll.a lib/CommonQ.lib \
           include/CommonQ.h lib/cmake/CommonQ/CommonQConfig.cmake lib/cmake/CommonQ/CommonQConfigVersion.cmake; do
    [ -f "$prefix/$f" ] || fail "$f missing from $prefix"
  done
  cmp -s "$prefix/bin/CommonQ.dll" "$build/bin/CommonQ.dll" || fail "$prefix/bin/CommonQ.dll is not the built DLL"
}

case "$mode" in
  msvc)
    case "$arch" in
      x86_64) machine=i386:x86-64 target=x86_64-pc-windows-msvc ;;
      i686) machine=i386 target=i686-pc-windows-msvc ;;
      *) fail "unknown architecture $arch" ;;
    esac
    lib=$build/lib/CommonQ.lib
    [ -f "$lib" ] || fail "$lib was not built"
    # Every export of the .def, by address: a new export is linked without an edit here.
    {
      echo "/* Generated from CommonQ.def by tests/sdk/sdk_test.sh. */"
      def_exports | sed 's/.*/extern void __cdecl &(void);/'
      echo "void (*const commonq_every_export[])(void) = {"
      def_exports | sed 's/.*/  &,/'
      echo "};"
      echo "const unsigned commonq_export_count = sizeof commonq_every_export / sizeof commonq_every_export[0];"
    } >"$work/msvc_exports.c"
    # ExitProcess is the one system function the host needs; its import library comes from a .def
    # too (stdcall: _ExitProcess@4 on i686, imported as ExitProcess).
    exit_process=ExitProcess
    [ "$arch" = i686 ] && exit_process=ExitProcess@4
    printf 'LIBRARY kernel32.dll\nEXPORTS\n  %s\n' "$exit_process" >"$work/kernel32.def"
    llvm-dlltool -m "$machine" -k -d "$work/kernel32.def" -l "$work/kernel32.lib"
    for c in "$source/tests/sdk/msvc_host.c" "$work/msvc_exports.c"; do
      clang --target="$target" -c -Os -Wall -Wextra -Werror "$c" -o "$work/$(basename "$c" .c).obj" ||
        fail "clang --target=$target could not compile $(basename "$c")"
    done
    host=$work/msvc_host.exe
    lld-link -nologo -subsystem:console -entry:HostEntry -nodefaultlib -out:"$host" \
      "$work/msvc_host.obj" "$work/msvc_exports.obj" "$lib" "$work/kernel32.lib" ||
      fail "lld-link could not link the host against $lib"
    expected=$(def_exports)
    actual=$(imports_from_commonq "$host")
    [ "$actual" = "$expected" ] ||
      fail "the host imports [$(printf '%s\n' "$actual" | paste -sd ' ')] from CommonQ.dll, expected the .def's [$(printf '%s\n' "$expected" | paste -sd ' ')]"
    echo "$target host linked against CommonQ.lib; imports every export by plain name: $(printf '%s\n' "$actual" | paste -sd ' ')"
    cp "$build/bin/CommonQ.dll" "$work/"
    run_host "$host"
    ;;

  package)
    prefix=$work/install
    cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; fail "cmake --install failed"; }
    check_layout "$prefix"
    build_consumer "$prefix" "$work/consumer"
    # The version file refuses the other pointer size: an i686 SDK in an x86_64 project, and back.
    other=i686
    [ "$arch" = i686 ] && other=x86_64
    if cmake -S "$source/tests/sdk/consumer" -B "$work/other" -G Ninja \
         -DCMAKE_TOOLCHAIN_FILE="$source/cmake/toolchain-$other.cmake" -DCMAKE_PREFIX_PATH="$prefix" >"$work/other.log" 2>&1; then
      fail "find_package accepted the $arch SDK in an $other project"
    fi
    grep -Eq "CommonQConfig.cmake, version: [0-9.]+ \((32|64)bit\)" "$work/other.log" ||
      { cat "$work/other.log"; fail "the $other project failed for another reason than the SDK's version file"; }
    echo "an $other project is refused the $arch SDK"
    ;;

  archive)
    version=$(sed -n 's/^CPACK_PACKAGE_VERSION:.*=//p; s/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake" | head -1)
    (cd "$build" && cpack --config CPackConfig.cmake -B "$work/package" >"$work/cpack.log" 2>&1) ||
      { cat "$work/cpack.log"; fail "cpack failed"; }
    zip=$work/package/CommonQ-$version-$arch.zip
    [ -f "$zip" ] || fail "cpack made no $(basename "$zip"): $(ls "$work/package")"
    mkdir -p "$work/unpacked"
    (cd "$work/unpacked" && cmake -E tar xf "$zip")
    root=$work/unpacked/CommonQ-$version-$arch
    check_layout "$root"
    for f in README.md LICENSE languages/build_language.py languages/README.md languages/deu.txt; do
      [ -f "$root/$f" ] || fail "$f missing from the archive"
    done
    # The language-file builder works from the archive: it rebuilds the German sample.
    python3 "$root/languages/build_language.py" --table "$root/languages/deu.txt" --codepage 1252 --lang-id 0x0407 \
      --windres "$triple-windres" --cc "$triple-gcc-posix" --out "$work/QelmLang.deu" >"$work/language.log" 2>&1 ||
      { cat "$work/language.log"; fail "the archive's language-file builder failed"; }
    echo "$(basename "$zip"): $(cd "$root" && find . -type f | wc -l) files; its builder made QelmLang.deu"
    build_consumer "$root" "$work/consumer"
    ;;

  *) fail "unknown mode $mode" ;;
esac
