#!/usr/bin/env python3
"""Reports mnemonic clashes: two texts of one dialog that underline the same letter.

    check-mnemonics.py RESOURCES_DIR [LANGUAGE_TABLE ...]

Reads every DIALOG of the .rc files in RESOURCES_DIR (ids resolved through the *_ids.h headers
there) and checks the English texts, then each language table (languages/README.md) the way the
library applies it: per-dialog string 10000 + (dialog - 1000) * 100 + (control - 1000) first, then
the shared 3000 + control, the button strings 3/5/7/11 for ids 1/2/3/8 and the strings a dialog
asks for by number. Only translated dialogs take a language's texts, and only on their "Button"
and "Static" controls. Exit status: 0 no clash, 1 clashes (each printed), 2 usage or read error.
"""
import pathlib
import re
import sys

# Dialogs that load the language file, with the strings they ask for by number: control -> ids
# (a control whose text changes while the dialog runs has one id per text).
TRANSLATED = {
    1000: {1003: [115], 1001: [559]},
    1010: {}, 1019: {}, 1030: {}, 1060: {}, 1160: {},
    1070: {},
    1180: {1184: [1001], 1188: [829], 1: [46], 1189: [63, 64]},
}
# Texts a dialog shows besides its template's, from the library's own string table.
RUNTIME_TEXTS = {1180: {1189: ["IDS_SHOW_OPTIONS", "IDS_HIDE_OPTIONS"]}}
BUTTON_STRINGS = {1: 3, 2: 5, 3: 7, 8: 11}
TRANSLATED_CLASSES = {"button", "static"}
# Statement keyword -> window class, for the short control statements of a .rc file.
SHORT_CLASSES = {"DEFPUSHBUTTON": "button", "PUSHBUTTON": "button", "GROUPBOX": "button", "LTEXT": "static",
                 "RTEXT": "static", "CTEXT": "static", "ICON": "static", "EDITTEXT": "edit", "COMBOBOX": "combobox"}
STRING = r'"((?:[^"]|"")*)"'


def mnemonic(text):
    """The underlined letter of a text (lower case), or None; '&&' is a literal ampersand."""
    at = 0
    while True:
        at = text.find("&", at)
        if at < 0 or at + 1 >= len(text):
            return None
        if text[at + 1] != "&":
            return text[at + 1].casefold()
        at += 2


# The windows.h ids the templates use.
SYSTEM_IDS = {"IDOK": "1", "IDCANCEL": "2", "IDABORT": "3", "IDRETRY": "4", "IDIGNORE": "5", "IDYES": "6",
              "IDNO": "7", "IDCLOSE": "8", "IDHELP": "9", "IDC_STATIC": "-1"}


def read_ids(folder):
    ids = dict(SYSTEM_IDS)
    for header in folder.glob("*_ids.h"):
        for name, value in re.findall(r"^#define\s+(\w+)\s+(\w+)", header.read_text(), re.M):
            ids[name] = value
    def resolve(token):
        seen = 0
        while token in ids and seen < 8:
            token, seen = ids[token], seen + 1
        return int(token, 0)
    return resolve


def read_dialogs(folder, resolve):
    """{dialog id: [(control id, class, text)]} and the library's string table {name: text}."""
    dialogs, strings = {}, {}
    for rc in sorted(folder.glob("*.rc")):
        text = rc.read_text(encoding="latin-1")
        # Continuation lines belong to the statement above.
        text = re.sub(r",\s*\n\s+", ", ", text)
        for block in re.finditer(r"^(\w+)\s+DIALOG\b.*?^BEGIN\n(.*?)^END", text, re.M | re.S):
            controls = []
            for line in block.group(2).splitlines():
                line = line.strip()
                keyword = line.split(None, 1)[0] if line else ""
                if keyword == "CONTROL":
                    m = re.match(r"CONTROL\s+(?:" + STRING + r"|\w+)\s*,\s*(\w+)\s*,\s*\"(\w+)\"", line)
                    if m:
                        controls.append((resolve(m.group(2)), m.group(3).lower(), (m.group(1) or "").replace('""', '"')))
                elif keyword in SHORT_CLASSES:
                    m = re.match(r"\w+\s+(?:" + STRING + r"\s*,\s*)?(\w+)", line)
                    if m:
                        controls.append((resolve(m.group(2)), SHORT_CLASSES[keyword], (m.group(1) or "").replace('""', '"')))
            dialogs[resolve(block.group(1))] = controls
        for table in re.finditer(r"^STRINGTABLE\s*\nBEGIN\n(.*?)^END", text, re.M | re.S):
            for name, value in re.findall(r"^\s*(\w+)\s+" + STRING, table.group(1), re.M):
                strings[name] = value.replace('""', '"')
    return dialogs, strings


def read_table(path):
    table = {}
    for line in pathlib.Path(path).read_text(encoding="utf-8").splitlines():
        if not line or line.startswith("#") or "\t" not in line:
            continue
        number, text = line.split("\t", 1)
        table[int(number)] = text.replace("\\n", "\n").replace("\\t", "\t").replace("\\\\", "\\")
    return table


def translated_texts(dialog, control, cls, english, table):
    """Every text the control can show with this language table."""
    if not english or cls not in TRANSLATED_CLASSES:
        return [english]
    explicit = TRANSLATED[dialog].get(control)
    if explicit:
        return [table.get(n) or english for n in explicit]
    candidates = []
    if control in BUTTON_STRINGS:
        candidates.append(BUTTON_STRINGS[control])
    else:
        if 1000 <= dialog <= 1499 and 1000 <= control <= 1099:
            candidates.append(10000 + (dialog - 1000) * 100 + (control - 1000))
        candidates.append(3000 + control)
    for number in candidates:
        if table.get(number):
            return [table[number]]
    return [english]


def clashes(label, dialogs, strings, table):
    found = []
    # The emulated task dialog's common buttons can all show at once.
    buttons = [name for name in strings if name.startswith("IDS_BUTTON_")]
    owners = {}
    for name in buttons:
        if mnemonic(strings[name]):
            owners.setdefault(mnemonic(strings[name]), []).append(f'{name} "{strings[name]}"')
    if table is None:
        found += [f"{label}: task dialog buttons: '&{k}' on {', '.join(v)}" for k, v in owners.items() if len(v) > 1]
    for dialog, controls in sorted(dialogs.items()):
        letters = {}
        for control, cls, english in controls:
            texts = [english] + [strings.get(n, "") for n in RUNTIME_TEXTS.get(dialog, {}).get(control, [])]
            if table is not None and dialog in TRANSLATED:
                texts = translated_texts(dialog, control, cls, english, table)
                texts += [t for t in (table.get(n) for n in TRANSLATED[dialog].get(control, [])) if t]
            for letter in {mnemonic(t) for t in texts} - {None}:
                letters.setdefault(letter, set()).add((control, next(t for t in texts if mnemonic(t) == letter)))
        for letter, owners in sorted(letters.items()):
            if len({control for control, _ in owners}) > 1:
                names = ", ".join(f'{control} "{text}"' for control, text in sorted(owners))
                found.append(f"{label}: dialog {dialog}: '&{letter}' on {names}")
    return found


def main(argv):
    if len(argv) < 2 or not pathlib.Path(argv[1]).is_dir():
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    folder = pathlib.Path(argv[1])
    try:
        dialogs, strings = read_dialogs(folder, read_ids(folder))
        tables = [(path, read_table(path)) for path in argv[2:]]
    except (OSError, ValueError, KeyError) as error:
        print(f"check-mnemonics: {error}", file=sys.stderr)
        return 2
    found = clashes("English templates", dialogs, strings, None)
    for path, table in tables:
        found += clashes(path, dialogs, strings, table)
    for line in found:
        print("CLASH " + line)
    print(f"check-mnemonics: {len(dialogs)} dialogs, {len(tables)} language tables, {len(found)} clashes")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
