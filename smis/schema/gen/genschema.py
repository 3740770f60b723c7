#!/usr/bin/env python3
"""Generates the module's class schema (C++ structs and meta-data records)
from the schema source files.

  genschema.py [--expect PREFIX=COUNT ...] --out DIR SOURCE...
  genschema.py --list SOURCE...        names of the files it would write
  genschema.py --check SOURCE...       checks the source only

--qualifiers FILE adds the qualifier source (see qualifier_model.py): it is
checked against the classes and its tables are written too.

--mof FILE writes the classes beyond the DMTF schema as MOF (emit_mof.py),
with the qualifiers of --qualifiers; alone, or beside --out.

Exit status 0 on success; 1 with one line "FILE:LINE: problem" (or a plain
problem line) on standard error when the source does not pass the checks.
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import emit_cpp  # noqa: E402
import emit_mof  # noqa: E402
import emit_qualifiers  # noqa: E402
import gen_output  # noqa: E402
import qualifier_model  # noqa: E402
import schema_model  # noqa: E402


def _write_if_changed(path, text):
    try:
        with open(path, encoding='utf-8') as fh:
            if fh.read() == text:
                return
    except FileNotFoundError:
        pass
    tmp = path + '.tmp'
    with open(tmp, 'w', encoding='utf-8') as fh:
        fh.write(text)
    os.replace(tmp, path)


def main(argv):
    ap = argparse.ArgumentParser()
    ap.add_argument('--out')
    ap.add_argument('--list', action='store_true')
    ap.add_argument('--check', action='store_true')
    ap.add_argument('--expect', action='append', default=[])
    ap.add_argument('--stamp')
    ap.add_argument('--qualifiers')
    ap.add_argument('--mof')
    ap.add_argument('sources', nargs='+')
    args = ap.parse_args(argv)
    try:
        expected = []
        for e in args.expect:
            prefix, _, count = e.partition('=')
            if not prefix or not count.isdigit():
                raise schema_model.SchemaError('bad --expect "%s"' % e)
            expected.append((prefix, int(count)))
        schema = schema_model.load(args.sources)
        if expected:
            schema_model.check_counts(schema, expected)
        if args.qualifiers:
            qualifier_model.load(schema, args.qualifiers)
    except schema_model.SchemaError as e:
        sys.stderr.write('genschema: %s\n' % e)
        return 1
    except OSError as e:
        sys.stderr.write('genschema: %s\n' % e)
        return 1
    if args.list:
        names = emit_cpp.header_names(schema)
        if args.qualifiers:
            names += emit_qualifiers.header_names()
        sys.stdout.write(';'.join(names))
        return 0
    if args.check:
        return 0
    if args.mof:
        gen_output.write_output(args.mof, emit_mof.emit_classes(schema))
        if not args.out:
            return 0
    if not args.out:
        sys.stderr.write('genschema: --out is required\n')
        return 1
    os.makedirs(args.out, exist_ok=True)
    files = emit_cpp.emit_all(schema)
    if args.qualifiers:
        files.update(emit_qualifiers.emit_all(schema))
    for name, text in files.items():
        _write_if_changed(os.path.join(args.out, name), text)
    if args.stamp:
        with open(args.stamp, 'w', encoding='utf-8') as fh:
            fh.write('ok\n')
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
