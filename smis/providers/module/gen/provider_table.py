"""Reads the provider table (providers.table) and checks its shape.

One line per provider in registration order: CLASS SHAPE [FLAG...]; '#'
starts a comment. The flags are described at the head of the table.
"""

import re

SHAPES = ('association', 'instance', 'indication')
MEMBERS = ('none', 'string', 'association-parent', 'association-map')
IDENT = re.compile(r'^[A-Za-z_][A-Za-z0-9_]*$')

# What the module registers: 152 providers, 53 association, 94 instance and
# 5 indication ones; 29 association providers answer associators, 4 of
# them references too.
EXPECTED = {'rows': 152, 'association': 53, 'instance': 94, 'indication': 5,
            'associators': 29, 'references': 4}


class TableError(Exception):
    pass


class Row:
    def __init__(self, where, cls, shape):
        self.where = where
        self.cls = cls
        self.provider = cls + '_Provider'
        self.shape = shape
        self.associators = False
        self.references = False
        self.modify = False
        self.members = 'none'
        self.base = None
        self.carries = []
        self.hand_written = False
        self.get_from = None


def parse(text, filename):
    rows = []
    seen = set()
    for lineno, raw in enumerate(text.split('\n'), 1):
        where = '%s:%d' % (filename, lineno)
        line = raw.split('#', 1)[0].strip()
        if not line:
            continue
        words = line.split()
        if len(words) < 2:
            raise TableError('%s: expected "CLASS SHAPE [FLAG...]"' % where)
        cls, shape = words[0], words[1]
        if not IDENT.match(cls):
            raise TableError('%s: bad class name "%s"' % (where, cls))
        if shape not in SHAPES:
            raise TableError('%s: unknown shape "%s"' % (where, shape))
        if cls.lower() in seen:
            raise TableError('%s: %s listed twice' % (where, cls))
        seen.add(cls.lower())
        r = Row(where, cls, shape)
        for w in words[2:]:
            key, eq, value = w.partition('=')
            if not eq and key in ('associators', 'references', 'modify', 'hand-written'):
                setattr(r, key.replace('-', '_'), True)
            elif key == 'members' and value in MEMBERS:
                r.members = value
            elif key == 'base' and IDENT.match(value):
                r.base = value
            elif key == 'get-from' and IDENT.match(value):
                r.get_from = value
            elif key == 'carries' and value:
                r.carries = value.split(',')
                if not all(IDENT.match(m) for m in r.carries):
                    raise TableError('%s: bad method list "%s"' % (where, value))
            else:
                raise TableError('%s: unknown flag "%s"' % (where, w))
        if (r.associators or r.references) and shape != 'association':
            raise TableError('%s: only association providers answer associators or references' % where)
        if r.references and not r.associators:
            raise TableError('%s: a provider that answers references answers associators' % where)
        if (r.modify or r.carries) and shape != 'instance':
            raise TableError('%s: only instance providers modify or carry methods' % where)
        if r.get_from and shape != 'association':
            raise TableError('%s: only association providers look an instance up from one end' % where)
        if r.members.startswith('association') != (shape == 'association'):
            raise TableError('%s: association members belong to association providers' % where)
        rows.append(r)
    return rows


def check_counts(rows):
    counts = {
        'rows': len(rows),
        'association': sum(r.shape == 'association' for r in rows),
        'instance': sum(r.shape == 'instance' for r in rows),
        'indication': sum(r.shape == 'indication' for r in rows),
        'associators': sum(r.associators for r in rows),
        'references': sum(r.references for r in rows),
    }
    for k, n in EXPECTED.items():
        if counts[k] != n:
            raise TableError('provider table: %d %s, expected %d' % (counts[k], k, n))


def load(path):
    with open(path, encoding='utf-8') as fh:
        rows = parse(fh.read(), path)
    check_counts(rows)
    return rows
