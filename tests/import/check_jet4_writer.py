#!/usr/bin/python3
"""The Jet 4 writer's own test: every file it writes must read back, through the
mdbtools programs (mdb-tables, mdb-schema, mdb-export), as exactly the tables,
columns and rows it was given."""

import csv
import io
import json
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import jet4_writer  # noqa: E402

LONG_MEMO = ("Très long mémo de l'hôtel « Les Tilleuls » : " + "é" * 3000 + " fin.\n") * 3
SCHEMA_TYPES = {'counter': 'Long Integer', 'long': 'Long Integer', 'int': 'Integer', 'byte': 'Byte',
                'double': 'Double', 'datetime': 'DateTime', 'memo': 'Memo/Hyperlink (255)'}


def run(*args):
    return subprocess.run(args, check=True, capture_output=True, timeout=120).stdout.decode('utf-8')


def expected_text(kind, value):
    if value is None:
        return ''
    if kind == 'datetime':
        return value if len(value) > 10 else value + ' 00:00:00'
    if kind == 'double':
        return repr(float(value)).rstrip('0').rstrip('.') if float(value) != int(float(value)) else str(int(value))
    return str(value)


def check(layout, failures):
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, 'essai.mdb')
        tables = jet4_writer.build(layout)
        jet4_writer.Writer().write(path, tables)
        listed = run('mdb-tables', '-1', path).split()
        if listed != [t.name for t in tables]:
            failures.append('tables %s != %s' % (listed, [t.name for t in tables]))
        for t in tables:
            schema = run('mdb-schema', '-T', t.name, path)
            for c in t.columns:
                kind = 'Text (%d)' % c.chars if c.kind == 'text' else SCHEMA_TYPES[c.kind]
                if '[%s]\t\t\t%s' % (c.name, kind) not in schema:
                    failures.append('%s.%s is not %s in:\n%s' % (t.name, c.name, kind, schema))
            out = run('mdb-export', '-T', '%Y-%m-%d %H:%M:%S', path, t.name)
            got = list(csv.reader(io.StringIO(out, newline='')))
            if got[0] != [c.name for c in t.columns]:
                failures.append('%s header %s' % (t.name, got[0]))
            want = [[expected_text(c.kind, v) for c, v in zip(t.columns, r)] for r in t.rows]
            if got[1:] != want:
                for g, w in zip(got[1:], want):
                    if g != w:
                        failures.append('%s row %s != %s' % (t.name, g[:6], w[:6]))
                        break
                if len(got) - 1 != len(want):
                    failures.append('%s: %d rows read, %d written' % (t.name, len(got) - 1, len(want)))


def main():
    failures = []
    every_type = {'tables': [
        {'name': 'types', 'columns': [['id', 'counter'], ['octet', 'byte'], ['court', 'int'], ['long', 'long'],
                                      ['reel', 'double'], ['quand', 'datetime'], ['texte', 'text', 40],
                                      ['memo', 'memo']],
         'rows': [[1, 7, -300, 2000000000, 19.6, '2024-02-29', "L'Épée d'or, Zoë & Cie", 'court'],
                  [2, None, None, None, None, None, None, None],
                  [3, 255, 32767, -5, -0.125, '1899-12-31 23:59:59', '', LONG_MEMO],
                  [4, 0, 0, 0, 1e-3, '2033-12-31 08:05:00', 'ÀÉÎÕÜ çñ œ € ’', 'é' * 600]]},
    ]}
    check(every_type, failures)
    # The program's own tables as the old program created them, and many rows:
    # rows spread over several data pages and long values over several pages.
    hotel = jet4_writer.hotel(1, 3)
    hotel['tables'].insert(0, {'name': 'log', 'rows': [[i, '2020-01-01 10:00:00', 'modification', LONG_MEMO, None]
                                                       for i in range(1, 40)]})
    check(hotel, failures)
    for f in failures:
        print('FAIL:', f[:2000])
    print('%d passed, %d failed' % ((0, 1) if failures else (1, 0)))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
