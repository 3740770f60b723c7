"""Writes the qualifier tables of the server's class repository: for every
class, the qualifiers of each of its features and of each method's
parameters, resolved through inheritance (see qualifier_model.py).

Output: schema_qualifiers.h (the record types and the table) and
schema_qualifiers.cpp (the table). Value lists and qualifier lists that
several features share are written once.
"""

import emit_cpp
import qualifier_model


def header_names():
    return ['schema_qualifiers.h', 'schema_qualifiers.cpp']


def _c_text(text):
    out = []
    for ch in text:
        if ch in '"\\':
            out.append('\\' + ch)
        elif ' ' <= ch <= '~':
            out.append(ch)
        else:
            out.append('\\%03o' % ord(ch))
    return '"%s"' % ''.join(out)


def emit_h():
    return emit_cpp.BANNER + '''#ifndef SMIS_SCHEMA_QUALIFIERS_H
#define SMIS_SCHEMA_QUALIFIERS_H

#include <cstddef>

namespace schema_qualifiers {

// One qualifier: its name, CIM type ("string" or "boolean"), whether it is
// an array, and its values (one for a scalar; "TRUE" for a boolean).
struct Qualifier {
    const char* name;
    const char* type;
    bool array;
    const char* const* values;
    std::size_t count;
};

// The qualifiers of a feature (parameter null) or of one of a method's
// parameters.
struct Feature {
    const char* feature;
    const char* parameter;
    const Qualifier* qualifiers;
    std::size_t count;
};

// The features of a class that have qualifiers, in the class's order.
struct Class {
    const char* name;
    const Feature* features;
    std::size_t count;
};

extern const Class classes[];
extern const std::size_t class_count;

} // namespace schema_qualifiers

#endif
'''


def emit_cpp_table(schema):
    out = [emit_cpp.BANNER, '#include "schema_qualifiers.h"\n', 'namespace schema_qualifiers {', '',
           'namespace {', '']
    value_syms = {}
    qual_syms = {}

    def values_sym(values):
        key = tuple(values)
        if key not in value_syms:
            sym = '_v%d' % len(value_syms)
            value_syms[key] = sym
            out.append('const char* const %s[] = {%s};' % (sym, ', '.join(_c_text(v) for v in values)))
        return value_syms[key]

    def quals_sym(quals):
        key = tuple((n, tuple(v) if isinstance(v, list) else v) for n, v in quals)
        if key not in qual_syms:
            rows = []
            for n, v in quals:
                typ, array = qualifier_model.QUALIFIERS[n]
                vals = v if isinstance(v, list) else (['TRUE'] if v is True else [v])
                rows.append('{"%s", "%s", %s, %s, %d}'
                            % (n, typ, 'true' if array else 'false', values_sym(vals), len(vals)))
            sym = '_q%d' % len(qual_syms)
            qual_syms[key] = sym
            out.append('const Qualifier %s[] = {%s};' % (sym, ', '.join(rows)))
        return qual_syms[key]

    class_rows = []
    for c in schema.classes:
        rows = []
        for f in c.features:
            quals, params = c.qualifiers.get(f.name.lower(), ([], {}))
            if quals:
                rows.append('{"%s", nullptr, %s, %d}' % (f.name, quals_sym(quals), len(quals)))
            if f.kind == 'method':
                for p in f.params:
                    pq = params.get(p.name.lower())
                    if pq:
                        rows.append('{"%s", "%s", %s, %d}' % (f.name, p.name, quals_sym(pq), len(pq)))
        if rows:
            sym = '_f_%s' % c.name
            out.append('const Feature %s[] = {' % sym)
            for r in rows:
                out.append('    %s,' % r)
            out.append('};')
            class_rows.append('{"%s", %s, %d}' % (c.name, sym, len(rows)))
        else:
            class_rows.append('{"%s", nullptr, 0}' % c.name)
    out.append('')
    out.append('} // namespace')
    out.append('')
    out.append('const Class classes[] = {')
    for r in class_rows:
        out.append('    %s,' % r)
    out.append('};')
    out.append('const std::size_t class_count = %d;' % len(class_rows))
    out.append('')
    out.append('} // namespace schema_qualifiers')
    return '\n'.join(out) + '\n'


def emit_all(schema):
    return {'schema_qualifiers.h': emit_h(), 'schema_qualifiers.cpp': emit_cpp_table(schema)}
