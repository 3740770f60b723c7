"""Reads the qualifier source and gives every feature of every class the
qualifiers a CIM server's repository shows for it.

The source is line based; '#' starts a comment outside a quoted text:

    class NAME                        a class of the schema
      FEATURE                         a property or reference it has
      method NAME                     a method it has
        QUALIFIER VALUE               a qualifier of the feature or method
        param NAME                    a parameter of the method
          QUALIFIER VALUE             a qualifier of the parameter

VALUE is JSON: a list of texts for ValueMap, Values and Deprecated, a text
for Units, ArrayType and Override, true for Required, Experimental and
Static (a method called on its class rather than on an instance).

A class lists a feature when its qualifiers differ from those it inherits;
the list then is the feature's whole set. A feature not listed has what its
superclass's feature has, less Override, Deprecated and Experimental, which
belong to the class that says them. A parameter marked required in the class
source is Required here too.
"""

import json

import schema_model

QUALIFIERS = {
    # name: (CIM type, array)
    'Required': ('boolean', False),
    'ValueMap': ('string', True),
    'Values': ('string', True),
    'Units': ('string', False),
    'ArrayType': ('string', False),
    'Override': ('string', False),
    'Deprecated': ('string', True),
    'Experimental': ('boolean', False),
    'Static': ('boolean', False),
}
ORDER = list(QUALIFIERS)
RESTRICTED = {'Override', 'Deprecated', 'Experimental'}

SchemaError = schema_model.SchemaError
Where = schema_model.Where


class Entry:
    """The qualifiers a class lists for one feature."""

    def __init__(self, where):
        self.where = where
        self.quals = {}                 # name -> value
        self.params = {}                # lower-case parameter name -> {name: value}


def _value(name, text, where):
    try:
        v = json.loads(text)
    except ValueError:
        raise SchemaError('%s: bad value of %s' % (where, name))
    typ, array = QUALIFIERS[name]
    if typ == 'boolean':
        if v is not True:
            raise SchemaError('%s: %s takes true' % (where, name))
    elif array:
        if not isinstance(v, list) or not v or not all(isinstance(x, str) for x in v):
            raise SchemaError('%s: %s takes a list of texts' % (where, name))
    elif not isinstance(v, str):
        raise SchemaError('%s: %s takes a text' % (where, name))
    return v


def _qualifier(words, line, where):
    name = words[0]
    if name not in QUALIFIERS:
        raise SchemaError('%s: unknown qualifier "%s"' % (where, name))
    return name, _value(name, line.strip()[len(name):].strip(), where)


def parse_text(schema, text, filename, entries):
    """entries: (lower class name, lower feature name) -> Entry."""
    cls = None
    feature = None
    entry = None
    params = None
    for lineno, raw in enumerate(text.split('\n'), 1):
        where = Where(filename, lineno)
        line = schema_model._strip_comment(raw).rstrip()
        if not line.strip():
            continue
        indent = len(line) - len(line.lstrip(' '))
        words = line.split()
        if indent == 0:
            if words[0] != 'class' or len(words) != 2:
                raise SchemaError('%s: expected "class NAME"' % where)
            cls = schema.find(words[1])
            if cls is None or cls.name != words[1]:
                raise SchemaError('%s: no class %s in the schema' % (where, words[1]))
            feature = entry = params = None
        elif indent == 2:
            if cls is None:
                raise SchemaError('%s: feature outside a class' % where)
            method = words[0] == 'method'
            name = words[1] if method and len(words) == 2 else words[0]
            if len(words) != (2 if method else 1):
                raise SchemaError('%s: expected a feature name' % where)
            feature = cls.feature(name)
            if feature is None or feature.name != name or (feature.kind == 'method') != method:
                raise SchemaError('%s: %s has no %s %s' % (where, cls.name, 'method' if method else 'feature', name))
            key = (cls.name.lower(), name.lower())
            if key in entries:
                raise SchemaError('%s: %s.%s listed twice' % (where, cls.name, name))
            entry = entries[key] = Entry(where)
            params = None
        elif indent == 4:
            if entry is None:
                raise SchemaError('%s: qualifier outside a feature' % where)
            if words[0] == 'param':
                if feature.kind != 'method' or len(words) != 2:
                    raise SchemaError('%s: a parameter belongs to a method' % where)
                found = [p for p in feature.params if p.name == words[1]]
                if not found:
                    raise SchemaError('%s: %s has no parameter %s' % (where, feature.name, words[1]))
                if words[1].lower() in entry.params:
                    raise SchemaError('%s: parameter %s listed twice' % (where, words[1]))
                params = entry.params[words[1].lower()] = {}
                continue
            if params is not None:
                raise SchemaError('%s: feature qualifiers come before the parameters' % where)
            name, value = _qualifier(words, line, where)
            if name in entry.quals:
                raise SchemaError('%s: %s repeated' % (where, name))
            entry.quals[name] = value
        elif indent == 6:
            if params is None:
                raise SchemaError('%s: qualifier outside a parameter' % where)
            name, value = _qualifier(words, line, where)
            if name in params:
                raise SchemaError('%s: %s repeated' % (where, name))
            params[name] = value
        else:
            raise SchemaError('%s: indentation must be 0, 2, 4 or 6 spaces' % where)
    return entries


def _check_maps(where, quals):
    vm = quals.get('ValueMap')
    vs = quals.get('Values')
    if vm is not None and vs is not None and len(vm) != len(vs):
        raise SchemaError('%s: ValueMap and Values differ in length' % where)


def _inherited(quals):
    return {n: v for n, v in quals.items() if n not in RESTRICTED}


def resolve(schema, entries):
    """Sets c.qualifiers on every class: lower feature name ->
    (ordered [(name, value)], {lower param name: ordered [(name, value)]})."""
    for e in entries.values():
        _check_maps(e.where, e.quals)
        for q in e.params.values():
            _check_maps(e.where, q)
    for c in sorted(schema.classes, key=lambda k: k.depth):
        own = {}
        for f in c.features:
            lname = f.name.lower()
            e = entries.get((c.name.lower(), lname))
            if e is not None:
                quals, params = dict(e.quals), {p: dict(q) for p, q in e.params.items()}
            elif c.superclass is not None and lname in c.superclass.raw_qualifiers:
                quals, params = c.superclass.raw_qualifiers[lname]
                quals = _inherited(quals)
                params = {p: _inherited(q) for p, q in params.items()}
            else:
                quals, params = {}, {}
            if f.kind == 'method':
                names = {p.name.lower() for p in f.params}
                params = {p: q for p, q in params.items() if p in names}
                for p in f.params:
                    if p.required:
                        params.setdefault(p.name.lower(), {})['Required'] = True
            own[lname] = (quals, params)
        c.raw_qualifiers = own
        c.qualifiers = {
            n: (sorted(q.items(), key=lambda kv: ORDER.index(kv[0])),
                {p: sorted(x.items(), key=lambda kv: ORDER.index(kv[0])) for p, x in ps.items() if x})
            for n, (q, ps) in own.items()}


def load(schema, path):
    entries = {}
    with open(path, encoding='utf-8') as fh:
        parse_text(schema, fh.read(), path, entries)
    resolve(schema, entries)
    return schema
