#!/usr/bin/env bash
# sdk_test.sh MODE ARCH BUILD_DIR SOURCE_DIR: the SDK of a Release build, used as a customer would.
#   msvc     a C host compiled with clang for ARCH-pc-windows-msvc and linked with lld-link against
#            lib/CommonQ.lib; it takes the address of every export in CommonQ.def and imports each
#            by its plain name from CommonQ.dll
#   package  cmake --install, then a consumer project finds the package with find_package(CommonQ)
#            and builds
#   archive  cpack's ZIP, unpacked: its contents, the language-file builder from it, and the
#            consumer built against it
# The x86_64 programs run under Wine (tools/test.sh prepares WINEPREFIX and DISPLAY); i686
# programs are built and checked, never started.
set -euo pipefail
export LC_ALL=C
[ $# -eq 4 ] || { echo "usage: $0 msvc|package|archive ARCH BUILD_DIR SOURCE_DIR" >&2; exit 2; }
mode=$1 arch=$2 build=$(realpath "$3") source=$(realpath "$4")
triple=$arch-w64-mingw32
work=$build/sdk-test/$mode
rm -rf "$work" && mkdir -p "$work"
fail() { echo "sdk_test $mode: FAIL: $*" >&2; exit 1; }
# Runs a command quietly, showing its log only when it fails.
quiet() { local log=$work/$1.log; shift; "$@" >"$log" 2>&1 || { cat "$log"; return 1; }; }
def_exports() { sed -n '/^EXPORTS/,$p' "$source/src/CommonQ.def" | awk 'NR > 1 && NF { print $1 }' | sort; }
# The names PROGRAM imports from CommonQ.dll, one per line.
imports_from_commonq() {
  "$triple-objdump" -p "$1" | awk '/DLL Name:/ { inside = tolower($NF) == "commonq.dll"; next }
    inside && NF == 0 { inside = 0 }
    inside && NF == 3 && $1 ~ /^[0-9a-f]+$/ { print $3 }' | sort
}

# Runs an x86_64 program under Wine with message 3031 already suppressed ("DoNot" bit 0x2), the
# state in which the program's calls return at once. Its exit code is the bit set of failed checks.
run_host() {
  [ "$arch" = x86_64 ] || return 0
  local run=$source/tests/support/wine-run.sh
  "$run" reg add 'HKCU\Software\Dravonix\Qelm Explorer\Common' /v DoNot /t REG_DWORD /d 2 /f >/dev/null
  (cd "$(dirname "$1")" && "$run" "$(basename "$1")") ||
    fail "failed checks $? of $(basename "$1") under Wine (1 message box, 2 format options, 4 task dialog, 8 export addresses)"
  echo "$(basename "$1") ran under Wine: every check passed"
}

# Builds the consumer project against the SDK in PREFIX with the MinGW toolchain, and runs it.
build_consumer() {
  local prefix=$1 out=$2
  quiet consumer cmake -S "$source/tests/sdk/consumer" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$source/cmake/toolchain-$arch.cmake" -DCMAKE_PREFIX_PATH="$prefix" ||
    fail "the consumer project did not configure against $prefix"
  quiet consumer-build cmake --build "$out" || fail "the consumer project did not build against $prefix"
  cmp -s "$out/CommonQ.dll" "$prefix/bin/CommonQ.dll" || fail "the SDK's CommonQ.dll was not copied beside the consumer"
  [ "$(imports_from_commonq "$out/commonq_consumer.exe" | paste -sd ' ')" = "DlgFormatOptionDoModal MessageBoxDoModal TaskDialogIndirect98" ] ||
    fail "the consumer does not import its three functions by plain name"
  echo "consumer built against $prefix"
  run_host "$out/commonq_consumer.exe"
}

check_layout() {
  for f in bin/CommonQ.dll bin/CommonQ.dll.debug bin/Languages/QelmLang.deu lib/libCommonQ.dll.a lib/CommonQ.lib \
           include/CommonQ.h lib/cmake/CommonQ/CommonQConfig.cmake lib/cmake/CommonQ/CommonQConfigVersion.cmake "${@:2}"; do
    [ -f "$1/$f" ] || fail "$f missing from $1"
  done
  cmp -s "$1/bin/CommonQ.dll" "$build/bin/CommonQ.dll" || fail "$1/bin/CommonQ.dll is not the built DLL"
}

case "$mode" in
  msvc)
    { # Every export of the .def, by address: a new export is linked without an edit here.
      def_exports | sed 's/.*/extern void __cdecl &(void);/'
      echo "void (*const commonq_every_export[])(void) = {"
      def_exports | sed 's/.*/  &,/'
      echo "}; const unsigned commonq_export_count = sizeof commonq_every_export / sizeof commonq_every_export[0];"
    } >"$work/msvc_exports.c"
    for c in "$source/tests/sdk/msvc_host.c" "$work/msvc_exports.c"; do
      clang --target="$arch-pc-windows-msvc" -c -Os -Wall -Wextra -Werror "$c" -o "$work/$(basename "$c" .c).obj" ||
        fail "clang could not compile $(basename "$c") for $arch-pc-windows-msvc"
    done
    host=$work/msvc_host.exe
    lld-link -nologo -subsystem:console -entry:HostEntry -nodefaultlib -out:"$host" "$work/msvc_host.obj" \
      "$work/msvc_exports.obj" "$build/lib/CommonQ.lib" || fail "lld-link could not link the host"
    [ "$(imports_from_commonq "$host")" = "$(def_exports)" ] ||
      fail "the host imports [$(imports_from_commonq "$host" | paste -sd ' ')] from CommonQ.dll, not the .def's exports"
    echo "$arch-pc-windows-msvc host linked against CommonQ.lib; imports every export by plain name"
    cp "$build/bin/CommonQ.dll" "$work/"
    run_host "$host"
    ;;
  package)
    prefix=$work/install
    quiet install cmake --install "$build" --prefix "$prefix" || fail "cmake --install failed"
    check_layout "$prefix"
    build_consumer "$prefix" "$work/consumer"
    ;;
  archive)
    (cd "$build" && quiet cpack cpack --config CPackConfig.cmake -B "$work/package") || fail "cpack failed"
    zip=$(ls "$work"/package/CommonQ-*-"$arch".zip) || fail "cpack made no archive"
    (cd "$work" && cmake -E tar xf "$zip")
    root=$work/$(basename "$zip" .zip)
    check_layout "$root" README.md LICENSE languages/build_language.py languages/README.md languages/deu.txt
    # The language-file builder works from the archive: it rebuilds the German sample.
    quiet language python3 "$root/languages/build_language.py" --table "$root/languages/deu.txt" --codepage 1252 \
      --lang-id 0x0407 --windres "$triple-windres" --cc "$triple-gcc-posix" --out "$work/QelmLang.deu" ||
      fail "the archive's language-file builder failed"
    echo "$(basename "$zip"): $(cd "$root" && find . -type f | wc -l) files; its builder made QelmLang.deu"
    build_consumer "$root" "$work/consumer"
    ;;
  *) fail "unknown mode $mode" ;;
esac
