#!/usr/bin/env python3
"""Builds a host language file (a resource-only DLL holding one STRINGTABLE) from a UTF-8 table.

    build_language.py --table deu.txt --codepage 1252 --lang-id 0x0407
                      --windres x86_64-w64-mingw32-windres --cc x86_64-w64-mingw32-gcc-posix
                      --out bin/Languages/QelmLang.deu [--rc-out QelmLang.rc]

The library reads these strings with LoadStringA, which converts the stored UTF-16 to the ANSI
code page, so every text must be representable in the language's code page; a text that is not
would come out as '?' on the user's screen, hence the hard error here rather than at run time.

Table format: one entry per line, "<id><TAB><text>"; lines starting with '#' and blank lines are
ignored. In the text, \\n is a line break, \\t a tab and \\\\ a backslash.
"""

import argparse
import codecs
import os
import re
import struct
import subprocess
import sys
import tempfile

RT_STRING = 6
ESCAPES = {"n": "\n", "t": "\t", "\\": "\\"}


class BuildError(Exception):
    pass


def parse_table(path, codepage):
    """Returns {id: text}; raises BuildError listing every fault, so one run shows them all."""
    try:
        with open(path, "rb") as f:
            raw = f.read()
    except OSError as e:
        raise BuildError(f"{path}: cannot read: {e.strerror}")
    try:
        content = raw.decode("utf-8-sig")
    except UnicodeDecodeError as e:
        line = raw[: e.start].count(b"\n") + 1
        raise BuildError(f"{path}:{line}: error: not valid UTF-8")

    entries, first_line, errors = {}, {}, []
    for number, line in enumerate(content.split("\n"), 1):
        line = line.rstrip("\r")
        if not line.strip() or line.lstrip().startswith("#"):
            continue
        where = f"{path}:{number}"
        if "\t" not in line:
            errors.append(f"{where}: error: expected '<id><TAB><text>'")
            continue
        key, text = line.split("\t", 1)
        key = key.strip()
        if not re.fullmatch(r"[0-9]+", key):
            errors.append(f"{where}: error: string id '{key}' is not a decimal number")
            continue
        sid = int(key)
        if sid > 0xFFFF:
            errors.append(f"{where}: error: string id {sid} is outside 0..65535")
            continue
        try:
            text = unescape(text)
        except ValueError as e:
            errors.append(f"{where}: error: {e}")
            continue
        if not text:
            # LoadString returns 0 for an empty string, which callers take as "not translated".
            errors.append(f"{where}: error: string id {sid} has an empty text")
            continue
        bad = [c for c in text if c not in "\n\t" and (ord(c) < 0x20 or ord(c) == 0x7F)]
        if bad:
            errors.append(f"{where}: error: string id {sid} contains control character U+{ord(bad[0]):04X}")
            continue
        unencodable = sorted({c for c in text if not encodable(c, codepage)})
        if unencodable:
            shown = ", ".join(f"'{c}' (U+{ord(c):04X})" for c in unencodable)
            errors.append(f"{where}: error: string id {sid}: {shown} not in code page {codepage}")
            continue
        if sid in entries:
            errors.append(f"{where}: error: duplicate string id {sid} (first at line {first_line[sid]})")
            continue
        entries[sid], first_line[sid] = text, number
    if errors:
        raise BuildError("\n".join(errors))
    if not entries:
        raise BuildError(f"{path}: error: the table has no entries")
    return entries


def unescape(text):
    out, i = [], 0
    while i < len(text):
        c = text[i]
        if c == "\\":
            nxt = text[i + 1 : i + 2]
            if nxt not in ESCAPES:
                raise ValueError(f"unknown escape '\\{nxt}' (use \\n, \\t or \\\\)")
            out.append(ESCAPES[nxt])
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


def encodable(char, codepage):
    try:
        char.encode(f"cp{codepage}", errors="strict")
        return True
    except UnicodeEncodeError:
        return False


def rc_literal(text):
    """A wide .rc string literal that is pure ASCII, so neither the preprocessor nor windres's
    code-page handling can alter it: everything outside printable ASCII becomes \\xHHHH, which
    windres stores as that UTF-16 unit (always four digits, so a following hex letter such as
    the 'e' in "Schlie\\x00DFen" is not swallowed)."""
    out = []
    for unit in struct.unpack(f"<{len(text.encode('utf-16-le')) // 2}H", text.encode("utf-16-le")):
        if unit == 0x22:
            out.append('""')  # windres rejects \" and wants the rc.exe doubling
        elif unit == 0x5C:
            out.append("\\\\")
        elif 0x20 <= unit < 0x7F:
            out.append(chr(unit))
        else:
            out.append(f"\\x{unit:04X}")
    return 'L"' + "".join(out) + '"'


def write_rc(path, entries, codepage, lang_id, table):
    primary, sub = lang_id & 0x3FF, lang_id >> 10
    lines = [
        f"// Generated by build_language.py from {os.path.basename(table)}; edit the table instead.",
        f"#pragma code_page({codepage})",
        f"LANGUAGE 0x{primary:02X}, 0x{sub:02X}",
        "STRINGTABLE",
        "BEGIN",
    ]
    lines += [f"  {sid}, {rc_literal(entries[sid])}" for sid in sorted(entries)]
    lines += ["END", ""]
    with open(path, "w", encoding="ascii", newline="\n") as f:
        f.write("\n".join(lines))


def run(command):
    try:
        result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    except OSError as e:
        raise BuildError(f"cannot run {command[0]}: {e.strerror}")
    if result.returncode != 0:
        raise BuildError(f"command failed ({result.returncode}): {' '.join(command)}\n{result.stdout.rstrip()}")


class Pe:
    """Just enough of a PE reader to confirm what the linker produced."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise BuildError("output is not a PE file")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe : pe + 4] != b"PE\0\0":
            raise BuildError("output is not a PE file")
        self.machine, nsections = struct.unpack_from("<HH", data, pe + 4)
        opt_size, self.characteristics = struct.unpack_from("<HH", data, pe + 20)
        opt = pe + 24
        magic = struct.unpack_from("<H", data, opt)[0]
        if magic not in (0x10B, 0x20B):
            raise BuildError("output has an unknown optional header")
        dirs = opt + (96 if magic == 0x10B else 112)
        ndirs = struct.unpack_from("<I", data, dirs - 4)[0]
        self.entry = struct.unpack_from("<I", data, opt + 16)[0]
        self.dirs = [struct.unpack_from("<II", data, dirs + 8 * i) for i in range(ndirs)]
        self.sections = []
        for i in range(nsections):
            at = opt + opt_size + 40 * i
            vsize, va, rawsize, rawptr = struct.unpack_from("<IIII", data, at + 8)
            self.sections.append((va, max(vsize, rawsize), rawptr))

    def offset(self, rva):
        for va, size, rawptr in self.sections:
            if va <= rva < va + size:
                return rawptr + rva - va
        raise BuildError(f"RVA 0x{rva:x} is in no section")

    def imported_dlls(self):
        rva, size = self.dirs[1] if len(self.dirs) > 1 else (0, 0)
        names, at = [], self.offset(rva) if rva and size else None
        while at is not None:
            name_rva = struct.unpack_from("<I", self.data, at + 12)[0]
            if not name_rva:
                break
            start = self.offset(name_rva)
            names.append(self.data[start : self.data.index(b"\0", start)].decode("ascii", "replace"))
            at += 20
        return names

    def strings(self):
        """{(id, language): text} for every STRINGTABLE entry, plus the other resource types."""
        rva, size = self.dirs[2]
        if not rva or not size:
            return {}, []
        base = self.offset(rva)

        def entries(at):
            named, ids = struct.unpack_from("<HH", self.data, base + at + 12)
            for i in range(named + ids):
                name, target = struct.unpack_from("<II", self.data, base + at + 16 + 8 * i)
                yield name, target

        found, other_types = {}, []
        for rtype, tdir in entries(0):
            if rtype != RT_STRING:
                other_types.append(rtype)
                continue
            for block, bdir in entries(tdir & 0x7FFFFFFF):
                for lang, leaf in entries(bdir & 0x7FFFFFFF):
                    data_rva, data_size = struct.unpack_from("<II", self.data, base + leaf)
                    at, end = self.offset(data_rva), self.offset(data_rva) + data_size
                    for i in range(16):
                        length = struct.unpack_from("<H", self.data, at)[0]
                        text = self.data[at + 2 : at + 2 + 2 * length].decode("utf-16-le")
                        at += 2 + 2 * length
                        if at > end:
                            raise BuildError("string block runs past its resource")
                        if length:
                            found[((block - 1) * 16 + i, lang)] = text
        return found, other_types


def verify(path, entries, lang_id, label):
    """Reads the DLL back: the strings LoadString will see must be the table's, in the table's
    language, and the file must be inert (no entry point, no imports) so loading it as a data file
    or plainly never runs code or pulls in a runtime."""
    with open(path, "rb") as f:
        pe = Pe(f.read())
    problems = []
    if pe.entry:
        problems.append(f"has an entry point (0x{pe.entry:x})")
    if pe.imported_dlls():
        problems.append(f"imports {', '.join(pe.imported_dlls())}")
    found, other_types = pe.strings()
    if other_types:
        problems.append(f"holds resource types other than STRINGTABLE: {other_types}")
    expected = {(sid, lang_id): text for sid, text in entries.items()}
    for key in sorted(set(expected) | set(found)):
        if expected.get(key) != found.get(key):
            problems.append(f"string {key[0]} (language 0x{key[1]:04X}): "
                            f"expected {expected.get(key)!r}, found {found.get(key)!r}")
    if problems:
        raise BuildError(f"{label}: the built file is wrong:\n  " + "\n  ".join(problems))


def main():
    parser = argparse.ArgumentParser(description="Build a resource-only language DLL from a UTF-8 string table.")
    parser.add_argument("--table", required=True, help="UTF-8 table: <id><TAB><text> per line")
    parser.add_argument("--codepage", required=True, type=int, help="the language's ANSI code page, e.g. 1252")
    parser.add_argument("--lang-id", required=True, type=lambda s: int(s, 0), help="LANGID, e.g. 0x0407")
    parser.add_argument("--windres", required=True, help="windres for the target")
    parser.add_argument("--cc", required=True, help="C or C++ compiler driver for the target")
    parser.add_argument("--out", required=True, help="the language file to write")
    parser.add_argument("--rc-out", help="also keep the generated .rc here")
    args = parser.parse_args()

    try:
        if not 0 < args.lang_id <= 0xFFFF:
            raise BuildError(f"--lang-id 0x{args.lang_id:x} is not a LANGID")
        try:
            codecs.lookup(f"cp{args.codepage}")
        except LookupError:
            raise BuildError(f"--codepage {args.codepage}: unknown code page")
        entries = parse_table(args.table, args.codepage)

        out = os.path.abspath(args.out)
        os.makedirs(os.path.dirname(out), exist_ok=True)
        with tempfile.TemporaryDirectory(prefix="qelmlang-") as tmp:
            rc = os.path.join(tmp, "strings.rc")
            obj = os.path.join(tmp, "strings.o")
            # Linked under its final name: the DLL records that name in its export directory.
            dll = os.path.join(tmp, os.path.basename(out))
            write_rc(rc, entries, args.codepage, args.lang_id, args.table)
            if args.rc_out:
                with open(rc, "rb") as src, open(args.rc_out, "wb") as dst:
                    dst.write(src.read())
            run([args.windres, "-i", rc, "-o", obj])
            # No CRT, no startup code and no entry point: the file is only ever a resource
            # container. A zero timestamp and fixed image base keep the bytes reproducible.
            run([args.cc, "-shared", "-nostdlib", "-nostartfiles", "-s", "-Wl,-e,0",
                 "-Wl,--no-insert-timestamp", "-Wl,--disable-auto-image-base", "-o", dll, obj])
            verify(dll, entries, args.lang_id, args.out)
            # Replaced only when complete, so a failed build never leaves a half-written file.
            move(dll, out)
    except BuildError as e:
        print(e, file=sys.stderr)
        return 1
    print(f"{args.out}: {len(entries)} strings, language 0x{args.lang_id:04X}, code page {args.codepage}")
    return 0


def move(src, dst):
    """The temporary directory may be on another file system: copy next to the target, then rename."""
    partial = dst + ".partial"
    with open(src, "rb") as a, open(partial, "wb") as b:
        b.write(a.read())
    os.replace(partial, dst)


if __name__ == "__main__":
    sys.exit(main())
