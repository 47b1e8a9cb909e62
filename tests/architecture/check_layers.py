#!/usr/bin/python3
"""Keeps the layering of src/ as docs/architecture.md declares it.

Fails, naming the file and line, when
  - a folder includes a folder of the same or a higher rank in the layer table,
  - a file of the widget-free library (outside src/ui/) includes a widget header,
  - an SQL statement (QSqlQuery, a query run with exec, SQL in a string literal)
    appears outside src/data/.

Usage: check_layers.py SOURCE_DIR QT_WIDGETS_INCLUDE_DIR
"""
import os
import re
import sys

TABLE_ROW = re.compile(r"^\|\s*(\d+)\s*\|\s*([^|]+?)\s*\|")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
STRING = re.compile(r'"((?:[^"\\\n]|\\.)*)"')
SQL_WORDS = re.compile(
    r"\b(SELECT\b.*\bFROM|INSERT\s+(OR\s+\w+\s+)?INTO|UPDATE\s+\w+\s+SET|DELETE\s+FROM|"
    r"CREATE\s+(TABLE|INDEX|UNIQUE|TRIGGER)|ALTER\s+TABLE|DROP\s+(TABLE|INDEX)|PRAGMA\s+\w+)",
    re.IGNORECASE)
# A literal that opens with a statement's first word, in capitals as we write them
# ("BEGIN:" opens an iCalendar component, not a transaction).
SQL_START = re.compile(r"^\s*(SELECT|INSERT|UPDATE|DELETE|REPLACE|CREATE|ALTER|DROP|PRAGMA|WITH|VACUUM|BEGIN(?!:)|COMMIT)\b")
# Running a statement: a query object, or exec() given the statement's text.
SQL_CALLS = re.compile(r"\bQSqlQuery\b|\bexec\s*\(\s*(QStringLiteral\s*\(|QLatin1String\s*\(|\"|QString\b)")
# QtPrintSupport's dialogs are widgets too; QPrinter itself is allowed in the core.
PRINT_DIALOGS = {"QPrintDialog", "QPrintPreviewDialog", "QPrintPreviewWidget", "QPageSetupDialog",
                 "QAbstractPrintDialog"}


def read_layers(doc):
    """Folder -> rank, from the table between the layer markers of the document."""
    ranks = {}
    inside = False
    with open(doc, encoding="utf-8") as f:
        for line in f:
            if "<!-- layers:begin -->" in line:
                inside = True
            elif "<!-- layers:end -->" in line:
                break
            elif inside:
                m = TABLE_ROW.match(line)
                if m:
                    for folder in re.findall(r"`([^`]+)`", m.group(2)):
                        ranks[folder.rstrip("/")] = int(m.group(1))
    if not ranks:
        sys.exit(f"{doc}: no layer table between <!-- layers:begin --> and <!-- layers:end -->")
    return ranks


def folder_of(relpath):
    """'ui/invoices/x.cpp' -> 'ui/invoices', 'data/x.h' -> 'data'."""
    parts = relpath.split("/")
    return "/".join(parts[:2]) if parts[0] == "ui" else parts[0]


def strip_comment(line, in_block):
    """The line without its comments (block comments may span lines)."""
    out = ""
    i = 0
    while i < len(line):
        if in_block:
            end = line.find("*/", i)
            if end < 0:
                return out, True
            i = end + 2
            in_block = False
        elif line.startswith("//", i):
            break
        elif line.startswith("/*", i):
            in_block = True
            i += 2
        elif line[i] == '"':
            m = STRING.match(line, i)
            if not m:
                out += line[i:]
                break
            out += m.group(0)
            i = m.end()
        else:
            out += line[i]
            i += 1
    return out, in_block


def check(src, widgets):
    ranks = read_layers(os.path.join(os.path.dirname(src), "docs", "architecture.md"))
    widget_headers = set(os.listdir(widgets)) | PRINT_DIALOGS
    problems = []
    for dirpath, _, names in os.walk(src):
        for name in sorted(names):
            if not name.endswith((".h", ".cpp", ".inc")):
                continue
            path = os.path.join(dirpath, name)
            rel = os.path.relpath(path, src).replace(os.sep, "/")
            folder = folder_of(rel)
            where = f"src/{rel}"
            if folder not in ranks:
                problems.append(f"{where}: folder src/{folder}/ is missing from the layer table")
                continue
            in_ui = folder.startswith("ui/")
            in_block = False
            with open(path, encoding="utf-8") as f:
                for number, raw in enumerate(f, 1):
                    line, in_block = strip_comment(raw.rstrip("\n"), in_block)
                    m = INCLUDE.match(line)
                    if m and m.group(1) == '"' and "/" in m.group(2):
                        target = folder_of(m.group(2))
                        if target != folder:
                            if target not in ranks:
                                problems.append(f"{where}:{number}: includes {m.group(2)} of an undeclared folder")
                            elif ranks[target] >= ranks[folder]:
                                side = "beside" if ranks[target] == ranks[folder] else "above"
                                problems.append(f"{where}:{number}: {folder} includes {m.group(2)}, "
                                                f"a folder {side} it ({target}, rank {ranks[target]} ≥ {ranks[folder]})")
                        continue
                    if m and m.group(1) == "<":
                        header = m.group(2).split("/")[-1]
                        if not in_ui and (m.group(2).startswith("QtWidgets") or header in widget_headers):
                            problems.append(f"{where}:{number}: widget header <{m.group(2)}> in the widget-free library")
                        continue
                    if folder != "data":
                        if SQL_CALLS.search(line):
                            problems.append(f"{where}:{number}: SQL outside src/data: {line.strip()}")
                            continue
                        for s in STRING.finditer(line):
                            if SQL_WORDS.search(s.group(1)) or SQL_START.match(s.group(1)):
                                problems.append(f"{where}:{number}: SQL outside src/data: \"{s.group(1)}\"")
                                break
    return problems


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    found = check(sys.argv[1], sys.argv[2])
    for p in found:
        print(p)
    if found:
        print(f"{len(found)} layering fault(s); docs/architecture.md says which folder may include which.")
        sys.exit(1)
    print("layers: every include goes down the declared order")
