#!/bin/bash
# check-callbacks.sh SRC_DIR
#
# Refuses a function the system calls back that is not built through the guarded adapters of
# frame/guarded_callback.h. Every such function needs the system's calling convention, spelled
# CALLBACK (or __stdcall); outside that header neither may appear in code (comments and strings do
# not count), and inside it every CALLBACK function must be noexcept, so that no exception can
# unwind through the system's frames into the host.
# Exit status: 0 passed, 1 offenders found (each named as FILE:LINE), 2 usage error.
set -u
[ $# -eq 1 ] && [ -d "$1" ] || { echo "usage: $0 SRC_DIR" >&2; exit 2; }
exec python3 - "$1" <<'PYTHON'
import pathlib, re, sys

root = pathlib.Path(sys.argv[1])
adapters = root / "frame" / "guarded_callback.h"
convention = re.compile(r"\b(CALLBACK|__stdcall)\b")


# The text with comments and string and character literals blanked, line breaks kept.
def code_only(text):
    pattern = re.compile(r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'', re.S)
    return pattern.sub(lambda m: re.sub(r"[^\n]", " ", m.group(0)), text)


offenders = []
for path in sorted(p for p in root.rglob("*") if p.suffix in (".h", ".cpp", ".c")):
    text = path.read_text(encoding="utf-8", errors="replace")
    code, lines = code_only(text), text.splitlines()
    for match in convention.finditer(code):
        line = code.count("\n", 0, match.start()) + 1
        where = f"{path}:{line}: {lines[line - 1].strip()}"
        if path.resolve() != adapters.resolve():
            offenders.append(f"{where}\n  a function the system calls back is built here without frame/guarded_callback.h")
            continue
        end = re.compile(r"[{;]").search(code, match.end())
        if end is None or "noexcept" not in code[match.end():end.start()]:
            offenders.append(f"{where}\n  an adapter the system calls must be noexcept")

if offenders:
    sys.exit("\n".join(f"check-callbacks: FAIL: {offender}" for offender in offenders))
print(f"check-callbacks: every callback in {root} is built through the guarded adapters")
PYTHON
