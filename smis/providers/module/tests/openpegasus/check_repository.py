#!/usr/bin/env python3
"""Checks an OpenPegasus repository made by scripts/openpegasus-repository.sh
against the module's schema source and provider table:

  - every class of the schema is in root/kestris, and every property,
    reference and method of its class record is there (declared by the class
    or inherited) with the same type and arrayness;
  - interop holds one provider and one capabilities instance of the module
    for every row of the provider table except those of the interop classes
    the server serves itself and of the server's system and the provider's
    software identity (the server has its own), none for those, and the
    module's profile capabilities.

  check_repository.py REPOSITORY TABLE SCHEMA...

Prints each difference and exits 1 when there is one. The repository is read
from its XML files (classes/<Class>.<Superclass>, instances/<Class>.idx).
"""

import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', '..', 'gen'))
sys.path.insert(0, os.path.join(HERE, '..', '..', '..', '..', 'schema', 'gen'))

import emit_registration_mof  # noqa: E402
import provider_table  # noqa: E402
import schema_model  # noqa: E402

PROPERTY = re.compile(r'<(PROPERTY(?:\.ARRAY|\.REFERENCE)?)\s+NAME="(\w+)"'
                      r'(?:[^>]*?(?:TYPE|REFERENCECLASS)="(\w+)")?')
METHOD = re.compile(r'<METHOD\s+NAME="(\w+)"\s+TYPE="(\w+)"')


class Repository:
    def __init__(self, classes_dir):
        self.dir = classes_dir
        self.files = {f.partition('.')[0].lower(): f for f in os.listdir(classes_dir)}
        self.resolved = {}

    def features(self, name):
        """(properties, methods) of the class, inherited ones included:
        lower name -> (element, type) and lower name -> return type."""
        key = name.lower()
        if key in self.resolved:
            return self.resolved[key]
        if key not in self.files:
            return None
        file = self.files[key]
        superclass = file.partition('.')[2]
        props, methods = {}, {}
        if superclass and superclass != '#':
            inherited = self.features(superclass)
            if inherited:
                props, methods = dict(inherited[0]), dict(inherited[1])
        with open(os.path.join(self.dir, file), encoding='utf-8', errors='replace') as fh:
            text = fh.read()
        for m in PROPERTY.finditer(text):
            props[m.group(2).lower()] = (m.group(1), m.group(3))
        for m in METHOD.finditer(text):
            methods[m.group(1).lower()] = m.group(2)
        self.resolved[key] = (props, methods)
        return self.resolved[key]


def class_differences(repo, schema):
    out = []
    for c in schema.classes:
        got = repo.features(c.name)
        if got is None:
            out.append('%s: not in root/kestris' % c.name)
            continue
        props, methods = got
        for f in c.features:
            where = '%s.%s' % (c.name, f.name)
            if f.kind == 'method':
                if f.name.lower() not in methods:
                    out.append('%s: method missing' % where)
                elif methods[f.name.lower()] != f.type:
                    out.append('%s: returns %s there, %s here' % (where, methods[f.name.lower()], f.type))
                continue
            p = props.get(f.name.lower())
            if p is None:
                out.append('%s: missing' % where)
            elif f.kind == 'ref' and p[0] != 'PROPERTY.REFERENCE':
                out.append('%s: not a reference there' % where)
            elif f.kind == 'prop':
                if p[1] != f.type:
                    out.append('%s: %s there, %s here' % (where, p[1], f.type))
                if (f.subscript != 0) != (p[0] == 'PROPERTY.ARRAY'):
                    out.append('%s: array in one only' % where)
    return out


def registration_differences(instances_dir, rows, schema):
    out = []
    names = {}
    for cls in ('PG_Provider', 'PG_ProviderCapabilities', 'PG_ProviderProfileCapabilities'):
        try:
            with open(os.path.join(instances_dir, cls + '.idx'), encoding='utf-8') as fh:
                names[cls] = fh.read()
        except OSError:
            out.append('interop: no %s instances' % cls)
            names[cls] = ''
    for r in rows:
        if not emit_registration_mof.registered(schema.find(r.cls)):
            if 'Name="%s"' % r.provider in names['PG_Provider']:
                out.append('interop: PG_Provider %s registered, though the server serves its class or has its own'
                           % r.provider)
            continue
        if 'Name="%s"' % r.provider not in names['PG_Provider']:
            out.append('interop: no PG_Provider %s' % r.provider)
        if 'ProviderName="%s"' % r.provider not in names['PG_ProviderCapabilities']:
            out.append('interop: no PG_ProviderCapabilities of %s' % r.provider)
    if 'CapabilityID="%sProfile"' % emit_registration_mof.PROFILE not in names['PG_ProviderProfileCapabilities']:
        out.append('interop: no profile capabilities of the %s profile' % emit_registration_mof.PROFILE)
    return out


def main(argv):
    if len(argv) < 3:
        sys.stderr.write(__doc__)
        return 2
    repository, table, sources = argv[0], argv[1], argv[2:]
    schema = schema_model.load(sources)
    rows = provider_table.load(table)
    problems = class_differences(Repository(os.path.join(repository, 'root#kestris', 'classes')), schema)
    problems += registration_differences(os.path.join(repository, 'interop', 'instances'), rows, schema)
    for p in problems:
        print(p)
    print('%d classes, %d providers checked: %d differences' % (len(schema.classes), len(rows), len(problems)))
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
