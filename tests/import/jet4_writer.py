#!/usr/bin/python3
"""Writes small Jet 4 (Access 2000) database files for the import tests.

No Jet writer is packaged for Debian, so the tests make their own files from rows
they choose: a header page, the MSysObjects catalogue on page 2, and per table a
definition page, data pages, long-value pages for long memos and a page usage
map. No indexes, no properties: enough for any Jet reader to list the tables,
their columns and their rows.

    jet4_writer.py OUT.mdb LAYOUT.json
    jet4_writer.py OUT.mdb --hotel YEARS ROOMS      (a hotel-shaped file)

LAYOUT.json: {"tables": [{"name": "reserv", "columns": [["id", "counter"], ...],
"rows": [[1, "2024-01-05", ...], ...]}], "password": "", "encrypted": false}.
A table without "columns" gets the columns the program's own tables have
(KESTROVA_COLUMNS below), "types" replaces the type of named columns and
"drop" leaves columns out. Rows are lists in column order or objects by column
name. Dates are "YYYY-MM-DD[ HH:MM:SS]" or {"days": n} (raw day count);
null is null. Column types: counter, long, int, byte, double, datetime,
text (with a size in characters), memo.
"""

import datetime
import json
import random
import struct
import sys

PAGE = 4096

TYPES = {  # name: (Jet type code, fixed size or 0 for variable)
    'bool': (0x01, 0),
    'byte': (0x02, 1),
    'int': (0x03, 2),
    'long': (0x04, 4),
    'counter': (0x04, 4),
    'double': (0x07, 8),
    'datetime': (0x08, 8),
    'text': (0x0A, 0),
    'memo': (0x0C, 0),
}


def doc_columns():
    return [['id', 'counter'], ['f_date', 'datetime'], ['id_client', 'long'],
            ['mode_reglement', 'text', 20], ['adresse_facturation', 'memo'],
            ['total_ht', 'double'], ['total_tva', 'double'], ['total_ttc', 'double'],
            ['sejour_debut', 'datetime'], ['sejour_fin', 'datetime'],
            ['acompte', 'double'], ['remise', 'double']]


def line_columns(key):
    return [['id', 'counter'], [key, 'long'], ['nb', 'long'], ['libelle', 'text', 250],
            ['tarif_ht', 'double'], ['taux_tva', 'double'], ['tarif_ttc', 'double'],
            ['numero_chambre', 'long'], ['id_prestation', 'long']]


# The old program's tables, as its SQL created them (INT is a long integer,
# TEXT without a length a memo).
KESTROVA_COLUMNS = {
    'infos': [['id', 'counter'], ['type', 'long'], ['nom_ets', 'text', 200], ['nom', 'text', 100],
              ['prenom', 'text', 100], ['tel', 'text', 30], ['somme', 'long'], ['fax', 'text', 30],
              ['email', 'text', 200], ['informations', 'memo'], ['adresse1', 'text', 250],
              ['adresse2', 'text', 250], ['codepostal', 'text', 10], ['ville', 'text', 250]],
    'reserv': [['id', 'counter'], ['r_date', 'datetime'], ['numero', 'long'], ['info', 'long'],
               ['etat', 'text', 30], ['reglement', 'long'], ['nbpers', 'long'], ['nbenfants', 'long']],
    'log': [['id', 'counter'], ['datelog', 'datetime'], ['operation', 'text', 50], ['avant', 'memo'],
            ['apres', 'memo']],
    'prestations': [['id', 'counter'], ['id_prestation', 'long'], ['libelle', 'text', 100],
                    ['numero_chambre', 'long'], ['tarif_ht', 'double'], ['tarif_tva', 'double'],
                    ['tarif_ttc', 'double'], ['chk_gratuit_enfant', 'long'], ['chk_add_auto', 'long']],
    'facturation': doc_columns(),
    'facturation_item': line_columns('id_facture'),
    'tva': [['id', 'counter'], ['taux', 'double']],
    'reserv_prestations': [['id', 'counter'], ['id_reserv', 'long'], ['id_prestations', 'long'],
                           ['nb', 'long']],
    'devis': doc_columns() + [['commentaires', 'memo'], ['id_chambre', 'long']],
    'devis_item': line_columns('id_devis'),
    'email_historique': [['id', 'counter'], ['id_client', 'long'], ['objet', 'memo'],
                         ['email_message', 'memo'], ['date_envoi', 'datetime']],
    'calendrier_tarifaire': [['id', 'counter'], ['id_periode', 'long'], ['date_debut', 'datetime'],
                             ['date_fin', 'datetime']],
    'periodes': [['id', 'counter'], ['libelle', 'memo']],
    'prestations_tarifs': [['id_prestation', 'long'], ['id_periode', 'long'], ['numero_chambre', 'long'],
                           ['tarif_ht', 'double'], ['tarif_tva', 'double'], ['tarif_ttc', 'double']],
}

EPOCH = datetime.datetime(1899, 12, 30)


def rc4(key, data):
    s = list(range(256))
    j = 0
    for i in range(256):
        j = (j + s[i] + key[i % len(key)]) & 255
        s[i], s[j] = s[j], s[i]
    i = j = 0
    out = bytearray()
    for b in data:
        i = (i + 1) & 255
        j = (j + s[i]) & 255
        s[i], s[j] = s[j], s[i]
        out.append(b ^ s[(s[i] + s[j]) & 255])
    return bytes(out)


def date_value(v):
    if isinstance(v, dict):
        return float(v['days'])
    if isinstance(v, (int, float)):
        return float(v)
    fmt = '%Y-%m-%d %H:%M:%S' if len(v) > 10 else '%Y-%m-%d'
    d = datetime.datetime.strptime(v, fmt)
    delta = d - EPOCH
    return delta.days + delta.seconds / 86400.0


def ucs2(text):
    return text.encode('utf-16-le')


class Column:
    def __init__(self, layout, number):
        self.name = layout[0]
        self.kind = layout[1]
        self.code, self.fixed_size = TYPES[self.kind]
        self.chars = layout[2] if len(layout) > 2 else 255
        self.number = number
        self.fixed = self.fixed_size > 0
        self.offset = 0  # in the fixed area, or the index among variable columns


class Table:
    def __init__(self, name, columns, rows, system=False):
        self.name = name
        self.columns = [Column(c, i) for i, c in enumerate(columns)]
        fixed_at = 0
        var_index = 0
        for c in self.columns:
            if c.fixed:
                c.offset = fixed_at
                fixed_at += c.fixed_size
            elif c.kind != 'bool':
                c.offset = var_index
                var_index += 1
        self.fixed_len = fixed_at
        self.var_cols = [c for c in self.columns if not c.fixed and c.kind != 'bool']
        self.rows = [self.ordered(r) for r in rows]
        self.system = system
        self.tdef_page = 0
        self.data_pages = []

    def ordered(self, row):
        if isinstance(row, dict):
            return [row.get(c.name) for c in self.columns]
        return list(row) + [None] * (len(self.columns) - len(row))


class Writer:
    def __init__(self):
        self.pages = [bytearray(PAGE), bytearray(PAGE), bytearray(PAGE)]  # header, global map, MSysObjects
        self.lval = None  # (page number, rows) of the long-value page being filled

    def new_page(self):
        self.pages.append(bytearray(PAGE))
        return len(self.pages) - 1

    # --- data pages -----------------------------------------------------------
    @staticmethod
    def page_rows(rows, owner):
        page = bytearray(PAGE)
        page[0] = 0x01
        page[1] = 0x01
        page[4:8] = owner
        struct.pack_into('<H', page, 12, len(rows))
        end = PAGE
        for i, r in enumerate(rows):
            end -= len(r)
            page[end:end + len(r)] = r
            struct.pack_into('<H', page, 14 + 2 * i, end)
        free = end - (14 + 2 * len(rows))
        struct.pack_into('<H', page, 2, free)
        return page

    @staticmethod
    def fits(rows, extra):
        used = 14 + 2 * (len(rows) + 1) + sum(len(r) for r in rows) + len(extra)
        return used <= PAGE and len(rows) < 255

    def write_rows(self, rows, owner):
        """Lays rows out on new data pages; returns [(page, [row numbers])]."""
        placed = []
        current = []
        numbers = []
        for r in rows:
            if not self.fits(current, r):
                placed.append(self.flush(current, owner, numbers))
                current, numbers = [], []
            numbers.append(len(current))
            current.append(r)
        if current or not placed:
            placed.append(self.flush(current, owner, numbers))
        return placed

    def flush(self, rows, owner, numbers):
        n = self.new_page()
        self.pages[n] = self.page_rows(rows, owner)
        return n, numbers

    def long_value(self, chunk):
        """Stores one row on a long-value page; returns its page/row pointer."""
        if self.lval is None or not self.fits(self.lval[1], chunk):
            self.lval = (self.new_page(), [])
        page, rows = self.lval
        rows.append(chunk)
        self.pages[page] = self.page_rows(rows, b'LVAL')
        return (page << 8) | (len(rows) - 1)

    # --- values ---------------------------------------------------------------
    def memo(self, data):
        if len(data) <= 1024:
            return struct.pack('<III', len(data) | 0x80000000, 0, 0) + data
        # A chain of long-value rows, each with the pointer to the next one first.
        chunks = [data[i:i + 4000] for i in range(0, len(data), 4000)]
        pointer = 0
        for chunk in reversed(chunks):
            pointer = self.long_value(struct.pack('<I', pointer) + chunk)
        return struct.pack('<III', len(data), pointer, 0)

    def pack_row(self, table, values):
        fixed = bytearray(table.fixed_len)
        mask = bytearray((len(table.columns) + 7) // 8)
        var_data = {}
        for c, v in zip(table.columns, values):
            if c.kind == 'bool':
                if v:
                    mask[c.number // 8] |= 1 << (c.number % 8)
                continue
            if v is None:
                continue
            mask[c.number // 8] |= 1 << (c.number % 8)
            if c.kind in ('long', 'counter'):
                struct.pack_into('<i', fixed, c.offset, int(v))
            elif c.kind == 'int':
                struct.pack_into('<h', fixed, c.offset, int(v))
            elif c.kind == 'byte':
                struct.pack_into('<B', fixed, c.offset, int(v))
            elif c.kind == 'double':
                struct.pack_into('<d', fixed, c.offset, float(v))
            elif c.kind == 'datetime':
                struct.pack_into('<d', fixed, c.offset, date_value(v))
            elif c.kind == 'text':
                var_data[c.offset] = ucs2(str(v))[:2 * c.chars]
            elif c.kind == 'memo':
                var_data[c.offset] = self.memo(ucs2(str(v)))
        row = bytearray(struct.pack('<H', len(table.columns))) + fixed
        if table.var_cols:
            offsets = []
            for i in range(len(table.var_cols)):
                offsets.append(len(row))
                row += var_data.get(i, b'')
            offsets.append(len(row))  # end of the variable data
            for o in reversed(offsets):
                row += struct.pack('<H', o)
            row += struct.pack('<H', len(table.var_cols))
        row += mask
        return bytes(row)

    # --- table definitions ------------------------------------------------------
    @staticmethod
    def tdef(table, map_pointer):
        body = bytearray()
        body += struct.pack('<I', 0)  # tdef_len, set below
        body += struct.pack('<I', 0)
        body += struct.pack('<I', len(table.rows))
        autonumber = 0
        for c in table.columns:
            if c.kind == 'counter':
                autonumber = max([int(r[c.number]) for r in table.rows if r[c.number] is not None] + [0]) + 1
        body += struct.pack('<I', autonumber)
        body += bytes([1, 0, 0, 0]) + struct.pack('<I', 0) + bytes(8)
        body += bytes([0x53 if table.system else 0x4E])
        body += struct.pack('<HHH', len(table.columns), len(table.var_cols), len(table.columns))
        body += struct.pack('<II', 0, 0)  # no index
        body += struct.pack('<II', map_pointer, map_pointer)
        for c in table.columns:
            flags = 0x02 | (0x01 if c.fixed or c.kind == 'bool' else 0) | (0x04 if c.kind == 'counter' else 0)
            size = c.fixed_size if c.fixed else (2 * c.chars if c.kind == 'text' else 0)
            misc = 0x409 if c.kind in ('text', 'memo') else 0
            body += bytes([c.code]) + struct.pack('<I', 0)
            body += struct.pack('<HHHHH', c.number, 0 if c.fixed else c.offset, c.number, misc, 0)
            body += bytes([flags, 0]) + struct.pack('<I', 0)
            body += struct.pack('<HH', c.offset if c.fixed else 0, size)
        for c in table.columns:
            name = ucs2(c.name)
            body += struct.pack('<H', len(name)) + name
        body += struct.pack('<H', 0xFFFF)
        struct.pack_into('<I', body, 0, len(body) + 8)
        page = bytearray(PAGE)
        page[0] = 0x02
        page[1] = 0x01
        struct.pack_into('<H', page, 2, PAGE - 8 - len(body) - 8)
        page[8:8 + len(body)] = body
        return page

    @staticmethod
    def usage_map(pages):
        start = min(pages)
        bits = bytearray((max(pages) - start) // 8 + 1)
        for p in pages:
            bits[(p - start) // 8] |= 1 << ((p - start) % 8)
        return bytes([0]) + struct.pack('<I', start) + bits

    # --- the whole file -------------------------------------------------------------
    def write(self, path, tables, password='', encrypted=False):
        created = 44000.25
        catalogue_columns = [['Id', 'long'], ['ParentId', 'long'], ['Name', 'text', 255], ['Type', 'int'],
                             ['DateCreate', 'datetime'], ['DateUpdate', 'datetime'], ['Flags', 'long'],
                             ['LvProp', 'memo']]
        for t in tables:
            t.tdef_page = self.new_page()
        entries = [[2, 0x0F000001, 'MSysObjects', 1, {'days': created}, {'days': created}, -2147483646, None]]
        for t in tables:
            entries.append([t.tdef_page, 0x0F000001, t.name, 1, {'days': created}, {'days': created}, 0, None])
        catalogue = Table('MSysObjects', catalogue_columns, entries, system=True)
        catalogue.tdef_page = 2

        maps = []
        for t in [catalogue] + tables:
            owner = struct.pack('<I', t.tdef_page)
            placed = self.write_rows([self.pack_row(t, r) for r in t.rows], owner)
            t.data_pages = [p for p, _ in placed]
            maps.append(self.usage_map(t.data_pages))
        # The usage maps are rows of data pages of their own (owned by no table).
        placed = self.write_rows(maps, struct.pack('<I', 0))
        pointers = [(page << 8) | row for page, rows in placed for row in rows]
        for t, pointer in zip([catalogue] + tables, pointers):
            self.pages[t.tdef_page] = self.tdef(t, pointer)

        header = self.pages[0]
        header[0:4] = b'\x00\x01\x00\x00'
        header[4:20] = b'Standard Jet DB\x00'
        struct.pack_into('<I', header, 0x14, 1)
        clear = bytearray(128)
        struct.pack_into('<H', clear, 0x3C - 0x18, 0x4E4)  # code page
        key = 0x2A1C3E5F if encrypted else 0
        struct.pack_into('<I', clear, 0x3E - 0x18, key)
        mask = struct.pack('<I', int(created)) * 10
        secret = ucs2(password).ljust(40, b'\x00')
        clear[0x42 - 0x18:0x42 - 0x18 + 40] = bytes(a ^ b for a, b in zip(secret, mask))
        struct.pack_into('<I', clear, 0x6E - 0x18, 0x409)
        struct.pack_into('<d', clear, 0x72 - 0x18, created)
        header[0x18:0x18 + 128] = rc4(struct.pack('<I', 0x6B39DAC7), bytes(clear))
        self.pages[1][0] = 0x01
        self.pages[1][1] = 0x01

        with open(path, 'wb') as f:
            for n, p in enumerate(self.pages):
                if encrypted and n > 0:
                    p = rc4(struct.pack('<I', key ^ n), bytes(p))
                f.write(p)


def build(layout):
    tables = []
    for t in layout['tables']:
        columns = t.get('columns') or [list(c) for c in KESTROVA_COLUMNS[t['name']]]
        drop = set(t.get('drop', []))
        types = t.get('types', {})
        columns = [[c[0], types[c[0]]] + c[2:] if c[0] in types else c for c in columns if c[0] not in drop]
        rows = t.get('rows', [])
        if drop and rows and isinstance(rows[0], list):
            raise SystemExit('drop needs rows given by column name')
        tables.append(Table(t['name'], columns, rows))
    return tables


def hotel(years, rooms, seed=26):
    """Ten years of 25 rooms look like this: nearly every night taken, a client per stay."""
    rnd = random.Random(seed)
    clients = [[1, 1, 'Mon Hotel', None, None, None, 0, None, None, None, None, None, None, None]]
    for i in range(2, 6001):
        clients.append([i, 2, '', 'Nom%d' % i, 'Prénom', '0102030405', 0, None, 'client%d@exemple.fr' % i,
                        "Client fidèle, préfère l'étage" if i % 7 == 0 else None,
                        '%d rue de la Gare' % i, None, '75001', 'Paris'])
    nights, services, invoices, lines = [], [], [], []
    start = datetime.date(2014, 1, 1)
    days = 365 * years + years // 4
    night_id = 0
    for room in range(1, rooms + 1):
        day = 0
        while day < days:
            length = rnd.randint(1, 6)
            if rnd.random() < 0.965:
                client = rnd.randint(2, 6000)

                for k in range(min(length, days - day)):
                    night_id += 1
                    d = start + datetime.timedelta(days=day + k)
                    nights.append([night_id, d.isoformat(), room, client, 'Payé', 0, 2, 0])
                    for s in (1, 2, 3):
                        services.append([len(services) + 1, night_id, s, 1 if s != 2 else 2])
                if len(invoices) < 20000:
                    n = len(invoices) + 1
                    d0 = start + datetime.timedelta(days=day)
                    invoices.append([n, d0.isoformat(), client, 'CB', 'M. Nom%d\n%d rue de la Gare\n75001 Paris'
                                     % (client, client), 100.0, 10.0, 110.0, d0.isoformat(),
                                     (d0 + datetime.timedelta(days=length)).isoformat(), 0.0, 0.0])
                    lines.append([len(lines) + 1, n, length, 'Chambre', 90.0 * length, 10.0, 99.0 * length,
                                  room, 1])
                    lines.append([len(lines) + 1, n, 2 * length, 'Petit déjeuner', 10.0 * length, 10.0,
                                  11.0 * length, room, 2])
            day += length
    prestations = []
    for s, label in ((1, 'Chambre'), (2, 'Petit déjeuner'), (3, 'Taxe de séjour')):
        for room in range(1, rooms + 1):
            prestations.append([len(prestations) + 1, s, label, room, 90.0, 10.0, 99.0, 0, 1])
    return {'tables': [
        {'name': 'infos', 'rows': clients},
        {'name': 'reserv', 'rows': nights},
        {'name': 'reserv_prestations', 'rows': services},
        {'name': 'prestations', 'rows': prestations},
        {'name': 'facturation', 'rows': invoices},
        {'name': 'facturation_item', 'rows': lines},
        {'name': 'tva', 'rows': [[1, 20.0], [2, 10.0]]},
    ]}


def main(argv):
    if len(argv) == 5 and argv[2] == '--hotel':
        layout = hotel(int(argv[3]), int(argv[4]))
    elif len(argv) == 3:
        with open(argv[2], encoding='utf-8') as f:
            layout = json.load(f)
    else:
        sys.stderr.write(__doc__)
        return 2
    Writer().write(argv[1], build(layout), layout.get('password', ''), layout.get('encrypted', False))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
