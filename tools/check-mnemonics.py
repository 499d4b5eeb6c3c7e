#!/usr/bin/env python3
# Reports mnemonic clashes: two texts of one dialog that underline the same letter.
#
#     check-mnemonics.py RESOURCES_DIR [LANGUAGE_TABLE ...]
#
# Reads every DIALOG of the .rc files in RESOURCES_DIR (ids resolved through the *_ids.h headers
# there) and checks the English texts, then each language table (languages/README.md) the way the
# library applies it: per-dialog string 10000 + (dialog - 1000) * 100 + (control - 1000) first, then
# the shared 3000 + control, the button strings 3/5/7/11 for ids 1/2/3/8 and the strings a dialog
# asks for by number. Only translated dialogs take a language's texts, and only on their "Button"
# and "Static" controls. Exit status: 0 no clash, 1 clashes (each printed), 2 usage or read error.
import pathlib
import re
import sys

USAGE = "check-mnemonics.py RESOURCES_DIR [LANGUAGE_TABLE ...]"
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
# CONTROL text-or-id, id, "class" ... and KEYWORD ["text",] id ...
CONTROL = re.compile(r"CONTROL\s+(?:" + STRING + r"|\w+)\s*,\s*(\w+)\s*,\s*\"(\w+)\"")
SHORT = re.compile(r"(\w+)\s+(?:" + STRING + r"\s*,\s*)?(\w+)")
# The windows.h ids the templates use.
SYSTEM_IDS = {"IDOK": "1", "IDCANCEL": "2", "IDABORT": "3", "IDRETRY": "4", "IDIGNORE": "5", "IDYES": "6",
              "IDNO": "7", "IDCLOSE": "8", "IDHELP": "9", "IDC_STATIC": "-1"}


# The underlined letter of a text (lower case), or None; '&&' is a literal ampersand.
def mnemonic(text):
    found = re.search(r"&(.)", text.replace("&&", ""), re.S)
    return found.group(1).casefold() if found else None


def read_ids(folder):
    ids = dict(SYSTEM_IDS)
    for header in folder.glob("*_ids.h"):
        ids.update(re.findall(r"^#define\s+(\w+)\s+(\w+)", header.read_text(), re.M))

    def resolve(token):
        for _ in range(8):
            token = ids.get(token, token)
        return int(token, 0)
    return resolve


# {dialog id: [(control id, class, text)]} and the library's string table {name: text}.
def read_dialogs(folder, resolve):
    dialogs, strings = {}, {}
    for rc in sorted(folder.glob("*.rc")):
        # Continuation lines belong to the statement above.
        text = re.sub(r",\s*\n\s+", ", ", rc.read_text(encoding="latin-1"))
        for block in re.finditer(r"^(\w+)\s+DIALOG\b.*?^BEGIN\n(.*?)^END", text, re.M | re.S):
            controls = []
            for line in block.group(2).splitlines():
                if m := CONTROL.match(line.strip()):
                    label, control, cls = m.groups()
                elif (m := SHORT.match(line.strip())) and m.group(1) in SHORT_CLASSES:
                    cls, label, control = SHORT_CLASSES[m.group(1)], m.group(2), m.group(3)
                else:
                    continue
                controls.append((resolve(control), cls.lower(), (label or "").replace('""', '"')))
            dialogs[resolve(block.group(1))] = controls
        for table in re.finditer(r"^STRINGTABLE\s*\nBEGIN\n(.*?)^END", text, re.M | re.S):
            for name, value in re.findall(r"^\s*(\w+)\s+" + STRING, table.group(1), re.M):
                strings[name] = value.replace('""', '"')
    return dialogs, strings


def read_table(path):
    table = {}
    for line in pathlib.Path(path).read_text(encoding="utf-8").splitlines():
        if line and not line.startswith("#") and "\t" in line:
            number, text = line.split("\t", 1)
            table[int(number)] = text.replace("\\n", "\n").replace("\\t", "\t").replace("\\\\", "\\")
    return table


# Every text the control can show with this language table.
def translated_texts(dialog, control, cls, english, table):
    if not english or cls not in TRANSLATED_CLASSES:
        return [english]
    if explicit := TRANSLATED[dialog].get(control):
        return [table.get(n) or english for n in explicit]
    candidates = [BUTTON_STRINGS[control]] if control in BUTTON_STRINGS else [3000 + control]
    if control not in BUTTON_STRINGS and 1000 <= dialog <= 1499 and 1000 <= control <= 1099:
        candidates.insert(0, 10000 + (dialog - 1000) * 100 + (control - 1000))
    return next(([table[n]] for n in candidates if table.get(n)), [english])


def clashes(label, dialogs, strings, table):
    found = []
    if table is None:
        # The emulated task dialog's common buttons can all show at once.
        owners = {}
        for name in (name for name in strings if name.startswith("IDS_BUTTON_") and mnemonic(strings[name])):
            owners.setdefault(mnemonic(strings[name]), []).append(f'{name} "{strings[name]}"')
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
        print(USAGE, file=sys.stderr)
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
