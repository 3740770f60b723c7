"""Reads the schema source files and checks them.

The source is line based; '#' starts a comment. A file holds any number of
class blocks:

    schema 2.18.1                            (version; once over all files)

    class NAME [: SUPER] [abstract] [association] [aggregation]
                         [indication] [experimental]
      TYPE NAME [FLAGS] [= DEFAULT]          property
      ref CLASS NAME [FLAGS]                 reference
      method RETTYPE NAME [override]         method, then its parameters:
        DIR TYPE NAME [PFLAGS]               DIR is in, out or inout
        DIR ref CLASS NAME [PFLAGS]

TYPE is a CIM type name (boolean, uint8 ... string, datetime), followed by
"[]" for an array of any length or "[N]" for a fixed length. A reference
class may be followed by "[]" for a reference array (parameters only).
Property FLAGS: key, write, counter, override, embedded-object,
embedded-instance=CLASS. Reference FLAGS: key, override, aggregate.
Parameter PFLAGS: required, embedded-object, embedded-instance=CLASS.
DEFAULT is a literal: true/false, an integer, a real, or a quoted string.

Association, aggregation and indication pass from a class to its
subclasses; abstract and experimental belong to the class that says so.
"""

import re

CIM_TYPES = ['boolean', 'uint8', 'sint8', 'uint16', 'sint16', 'uint32', 'sint32',
             'uint64', 'sint64', 'real32', 'real64', 'char16', 'string', 'datetime']

CLASS_FLAGS = ['abstract', 'association', 'aggregation', 'indication', 'experimental']
INHERITED_CLASS_FLAGS = {'association', 'aggregation', 'indication'}

INT_RANGES = {
    'uint8': (0, 2**8 - 1), 'sint8': (-2**7, 2**7 - 1),
    'uint16': (0, 2**16 - 1), 'sint16': (-2**15, 2**15 - 1),
    'uint32': (0, 2**32 - 1), 'sint32': (-2**31, 2**31 - 1),
    'uint64': (0, 2**64 - 1), 'sint64': (-2**63, 2**63 - 1),
}

IDENT = re.compile(r'^[A-Za-z_][A-Za-z0-9_]*$')


class SchemaError(Exception):
    pass


class Where:
    def __init__(self, file, line):
        self.file = file
        self.line = line

    def __str__(self):
        return '%s:%d' % (self.file, self.line)


class Param:
    def __init__(self, where, direction, kind, type_, name, subscript,
                 required, embedded):
        self.where = where
        self.direction = direction      # 'in', 'out' or 'inout'
        self.kind = kind                # 'prop' or 'ref'
        self.type = type_               # CIM type name or class name
        self.name = name
        self.subscript = subscript      # 0 scalar, -1 any length, n fixed
        self.required = required
        self.embedded = embedded        # None, 'object' or a class name

    @property
    def is_in(self):
        return self.direction in ('in', 'inout')

    @property
    def is_out(self):
        return self.direction in ('out', 'inout')


class Feature:
    def __init__(self, where, kind, name):
        self.where = where
        self.kind = kind                # 'prop', 'ref' or 'method'
        self.name = name
        self.type = None                # CIM type, referenced class, return type
        self.subscript = 0
        self.key = False
        self.write = False
        self.counter = False
        self.aggregate = False
        self.override = False
        self.embedded = None            # None, 'object' or a class name
        self.default = None             # literal text as written
        self.params = []                # methods only
        self.owner = None               # declaring class


class SchemaClass:
    def __init__(self, where, name, super_name, flags):
        self.where = where
        self.name = name
        self.super_name = super_name
        self.own_flags = set(flags)
        self.declared = []              # features in source order
        self.superclass = None
        self.flags = set()              # own plus inherited kind flags
        self.features = []              # resolved: inherited first, base order
        self.local = []                 # per resolved feature: declared here
        self.depth = 0

    def feature(self, name):
        for f in self.features:
            if f.name.lower() == name.lower():
                return f
        return None

    def keys(self):
        return [f for f in self.features if f.kind in ('prop', 'ref') and f.key]


class Schema:
    def __init__(self):
        self.version = None
        self.classes = []
        self.by_name = {}

    def find(self, name):
        return self.by_name.get(name.lower())


def _parse_type(text, where, allow_class):
    m = re.match(r'^([A-Za-z_][A-Za-z0-9_]*)(?:\[(\d*)\])?$', text)
    if not m:
        raise SchemaError('%s: bad type "%s"' % (where, text))
    base, sub = m.group(1), m.group(2)
    subscript = 0
    if sub is not None:
        subscript = -1 if sub == '' else int(sub)
        if subscript == 0:
            raise SchemaError('%s: array of length 0' % where)
    if not allow_class and base not in CIM_TYPES:
        raise SchemaError('%s: unknown CIM type "%s"' % (where, base))
    return base, subscript


def _embedded_flag(word, where):
    if word == 'embedded-object':
        return 'object'
    if word.startswith('embedded-instance='):
        cls = word[len('embedded-instance='):]
        if not IDENT.match(cls):
            raise SchemaError('%s: bad class in "%s"' % (where, word))
        return cls
    return None


def _split_default(text):
    """Splits 'words = literal' at a free-standing '=' outside quotes."""
    in_q = False
    for i, c in enumerate(text):
        if c == '"':
            in_q = not in_q
        elif c == '=' and not in_q and text[i - 1:i] == ' ' and text[i + 1:i + 2] in (' ', ''):
            return text[:i].strip(), text[i + 1:].strip()
    return text.strip(), None


def _strip_comment(line):
    in_q = False
    for i, c in enumerate(line):
        if c == '"':
            in_q = not in_q
        elif c == '#' and not in_q:
            return line[:i]
    return line


def parse_text(schema, text, filename):
    cur_class = None
    cur_method = None
    for lineno, raw in enumerate(text.split('\n'), 1):
        where = Where(filename, lineno)
        line = _strip_comment(raw).rstrip()
        if not line.strip():
            continue
        indent = len(line) - len(line.lstrip(' '))
        if '\t' in line[:indent + 1]:
            raise SchemaError('%s: tab in indentation' % where)
        body, default = _split_default(line)
        words = body.split()
        if indent == 0:
            cur_method = None
            if words[0] == 'schema':
                if len(words) != 2 or default is not None:
                    raise SchemaError('%s: expected "schema VERSION"' % where)
                if schema.version is not None and schema.version != words[1]:
                    raise SchemaError('%s: second schema version' % where)
                schema.version = words[1]
                continue
            if words[0] != 'class' or len(words) < 2 or default is not None:
                raise SchemaError('%s: expected a class line' % where)
            name = words[1]
            if not IDENT.match(name):
                raise SchemaError('%s: bad class name "%s"' % (where, name))
            rest = words[2:]
            sup = None
            if rest and rest[0] == ':':
                if len(rest) < 2 or not IDENT.match(rest[1]):
                    raise SchemaError('%s: bad superclass' % where)
                sup = rest[1]
                rest = rest[2:]
            for w in rest:
                if w not in CLASS_FLAGS:
                    raise SchemaError('%s: unknown class flag "%s"' % (where, w))
            if len(set(rest)) != len(rest):
                raise SchemaError('%s: repeated class flag' % where)
            cur_class = SchemaClass(where, name, sup, rest)
            if schema.find(name):
                raise SchemaError('%s: class %s defined twice' % (where, name))
            schema.classes.append(cur_class)
            schema.by_name[name.lower()] = cur_class
        elif indent == 2:
            if cur_class is None:
                raise SchemaError('%s: feature outside a class' % where)
            cur_method = None
            cur_class.declared.append(_parse_feature(words, default, where))
            f = cur_class.declared[-1]
            f.owner = cur_class
            if f.kind == 'method':
                cur_method = f
        elif indent == 4:
            if cur_method is None:
                raise SchemaError('%s: parameter outside a method' % where)
            if default is not None:
                raise SchemaError('%s: parameters take no default' % where)
            cur_method.params.append(_parse_param(words, where))
        else:
            raise SchemaError('%s: indentation must be 0, 2 or 4 spaces' % where)


def _parse_feature(words, default, where):
    if words[0] == 'method':
        if len(words) < 3:
            raise SchemaError('%s: expected "method TYPE NAME"' % where)
        f = Feature(where, 'method', words[2])
        f.type, sub = _parse_type(words[1], where, False)
        if sub:
            raise SchemaError('%s: a method returns a scalar' % where)
        for w in words[3:]:
            if w != 'override':
                raise SchemaError('%s: unknown method flag "%s"' % (where, w))
            f.override = True
        if default is not None:
            raise SchemaError('%s: a method takes no default' % where)
    elif words[0] == 'ref':
        if len(words) < 3:
            raise SchemaError('%s: expected "ref CLASS NAME"' % where)
        f = Feature(where, 'ref', words[2])
        f.type, f.subscript = _parse_type(words[1], where, True)
        for w in words[3:]:
            if w in ('key', 'override', 'aggregate'):
                if getattr(f, w):
                    raise SchemaError('%s: repeated flag "%s"' % (where, w))
                setattr(f, w, True)
            else:
                raise SchemaError('%s: unknown reference flag "%s"' % (where, w))
        if default is not None:
            raise SchemaError('%s: a reference takes no default' % where)
    else:
        if len(words) < 2:
            raise SchemaError('%s: expected "TYPE NAME"' % where)
        f = Feature(where, 'prop', words[1])
        f.type, f.subscript = _parse_type(words[0], where, False)
        for w in words[2:]:
            emb = _embedded_flag(w, where)
            if emb is not None:
                if f.embedded is not None:
                    raise SchemaError('%s: repeated embedded flag' % where)
                f.embedded = emb
            elif w in ('key', 'write', 'counter', 'override'):
                if getattr(f, w):
                    raise SchemaError('%s: repeated flag "%s"' % (where, w))
                setattr(f, w, True)
            else:
                raise SchemaError('%s: unknown property flag "%s"' % (where, w))
        if f.embedded is not None and f.type != 'string':
            raise SchemaError('%s: an embedded object is declared as string' % where)
        if default is not None:
            if default == '':
                raise SchemaError('%s: empty default' % where)
            f.default = default
    if not IDENT.match(f.name):
        raise SchemaError('%s: bad feature name "%s"' % (where, f.name))
    return f


def _parse_param(words, where):
    if not words or words[0] not in ('in', 'out', 'inout'):
        raise SchemaError('%s: a parameter starts with in, out or inout' % where)
    direction = words[0]
    rest = words[1:]
    kind = 'prop'
    if rest and rest[0] == 'ref':
        kind = 'ref'
        rest = rest[1:]
    if len(rest) < 2:
        raise SchemaError('%s: expected parameter type and name' % where)
    type_, sub = _parse_type(rest[0], where, kind == 'ref')
    name = rest[1]
    if not IDENT.match(name):
        raise SchemaError('%s: bad parameter name "%s"' % (where, name))
    required = False
    embedded = None
    for w in rest[2:]:
        emb = _embedded_flag(w, where)
        if emb is not None:
            if embedded is not None or kind == 'ref' or type_ != 'string':
                raise SchemaError('%s: misplaced embedded flag' % where)
            embedded = emb
        elif w == 'required' and not required:
            required = True
        else:
            raise SchemaError('%s: unknown parameter flag "%s"' % (where, w))
    return Param(where, direction, kind, type_, name, sub, required, embedded)


def _check_default(f):
    d = f.default
    where = f.where
    if f.subscript != 0:
        raise SchemaError('%s: array defaults are not supported' % where)
    if f.embedded is not None:
        raise SchemaError('%s: an embedded object takes no default' % where)
    t = f.type
    if t == 'boolean':
        if d not in ('true', 'false'):
            raise SchemaError('%s: boolean default must be true or false' % where)
    elif t in INT_RANGES:
        try:
            v = int(d, 0)
        except ValueError:
            raise SchemaError('%s: bad integer default "%s"' % (where, d))
        lo, hi = INT_RANGES[t]
        if not lo <= v <= hi:
            raise SchemaError('%s: default %s out of range for %s' % (where, d, t))
    elif t in ('real32', 'real64'):
        try:
            float(d)
        except ValueError:
            raise SchemaError('%s: bad real default "%s"' % (where, d))
    elif t == 'char16':
        raise SchemaError('%s: char16 defaults are not supported' % where)
    elif t in ('string', 'datetime'):
        if len(d) < 2 or d[0] != '"' or d[-1] != '"' or '"' in d[1:-1] or '\\' in d:
            raise SchemaError('%s: bad %s default %s' % (where, t, d))
        if t == 'datetime' and not re.match(r'^"\d{14}\.\d{6}[-+:]\d{3}"$', d):
            raise SchemaError('%s: bad datetime default %s' % (where, d))


def is_subclass(sub, base):
    c = sub
    while c is not None:
        if c is base:
            return True
        c = c.superclass
    return False


def resolve(schema):
    """Links classes, builds every class's feature list and checks it."""
    if schema.version is None:
        raise SchemaError('no "schema VERSION" line')
    for c in schema.classes:
        if c.super_name is not None:
            c.superclass = schema.find(c.super_name)
            if c.superclass is None:
                raise SchemaError('%s: superclass %s of %s does not exist'
                                  % (c.where, c.super_name, c.name))
            if c.superclass.name != c.super_name:
                raise SchemaError('%s: superclass is spelled %s'
                                  % (c.where, c.superclass.name))
    # Depth; a cycle never reaches a root.
    for c in schema.classes:
        seen = set()
        k = c
        while k.superclass is not None:
            if k.name in seen:
                raise SchemaError('%s: inheritance cycle through %s' % (c.where, c.name))
            seen.add(k.name)
            k = k.superclass
        c.depth = len(seen)
    for c in sorted(schema.classes, key=lambda k: k.depth):
        _resolve_class(schema, c)


def _check_class_ref(schema, name, where):
    k = schema.find(name)
    if k is None:
        raise SchemaError('%s: class %s does not exist' % (where, name))
    if k.name != name:
        raise SchemaError('%s: class is spelled %s' % (where, k.name))
    return k


def _resolve_class(schema, c):
    base = c.superclass
    c.flags = set(c.own_flags)
    if base is not None:
        c.flags |= (base.flags & INHERITED_CLASS_FLAGS)
        c.features = list(base.features)
    else:
        c.features = []
    c.local = [False] * len(c.features)
    if 'aggregation' in c.flags and 'association' not in c.flags:
        raise SchemaError('%s: an aggregation is an association' % c.where)
    seen = set()
    for f in c.declared:
        lname = f.name.lower()
        if lname in seen:
            raise SchemaError('%s: %s declares %s twice' % (f.where, c.name, f.name))
        seen.add(lname)
        if f.kind == 'ref':
            _check_class_ref(schema, f.type, f.where)
            if f.subscript != 0:
                raise SchemaError('%s: a reference property is a scalar' % f.where)
            if 'association' not in c.flags:
                raise SchemaError('%s: reference %s outside an association'
                                  % (f.where, f.name))
        if f.kind == 'prop':
            if f.default is not None:
                _check_default(f)
            if isinstance(f.embedded, str) and f.embedded != 'object':
                _check_class_ref(schema, f.embedded, f.where)
            if f.key and (f.subscript != 0 or f.embedded is not None):
                raise SchemaError('%s: key %s must be a scalar value' % (f.where, f.name))
        if f.kind == 'method':
            pnames = set()
            for p in f.params:
                if p.name.lower() in pnames or p.name == 'return_value':
                    raise SchemaError('%s: parameter %s repeated' % (p.where, p.name))
                pnames.add(p.name.lower())
                if p.kind == 'ref':
                    _check_class_ref(schema, p.type, p.where)
                if isinstance(p.embedded, str) and p.embedded != 'object':
                    _check_class_ref(schema, p.embedded, p.where)
        idx = None
        for i, g in enumerate(c.features):
            if g.name.lower() == lname:
                idx = i
        if idx is None:
            if f.override:
                raise SchemaError('%s: %s overrides %s, which %s does not inherit'
                                  % (f.where, c.name, f.name, c.name))
            c.features.append(f)
            c.local.append(True)
            continue
        g = c.features[idx]
        if not f.override:
            raise SchemaError('%s: %s redeclares inherited %s without override'
                              % (f.where, c.name, f.name))
        if f.name != g.name:
            raise SchemaError('%s: override spells %s as %s' % (f.where, g.name, f.name))
        _check_override(schema, c, f, g)
        c.features[idx] = f
        c.local[idx] = True
    if 'association' in c.flags and 'abstract' not in c.flags:
        refs = [f for f in c.features if f.kind == 'ref']
        if len(refs) < 2:
            raise SchemaError('%s: association %s has fewer than two references'
                              % (c.where, c.name))


def _check_override(schema, c, f, g):
    if f.kind != g.kind:
        raise SchemaError('%s: %s.%s overrides a %s with a %s'
                          % (f.where, c.name, f.name, g.kind, f.kind))
    if f.kind == 'prop':
        if f.type != g.type or f.subscript != g.subscript:
            raise SchemaError('%s: %s.%s overrides a different type'
                              % (f.where, c.name, f.name))
        if f.embedded != g.embedded:
            raise SchemaError('%s: %s.%s changes embedding' % (f.where, c.name, f.name))
    elif f.kind == 'ref':
        new = schema.find(f.type)
        old = schema.find(g.type)
        if not is_subclass(new, old):
            raise SchemaError('%s: %s.%s narrows to %s, not a subclass of %s'
                              % (f.where, c.name, f.name, f.type, g.type))
    else:
        if f.type != g.type:
            raise SchemaError('%s: %s.%s returns another type' % (f.where, c.name, f.name))
    # A key stays a key in every subclass.
    if g.kind in ('prop', 'ref') and g.key:
        f.key = True


def load(paths):
    schema = Schema()
    for p in paths:
        with open(p, encoding='utf-8') as fh:
            parse_text(schema, fh.read(), p)
    resolve(schema)
    return schema


def check_counts(schema, expected):
    """expected: list of (prefix, count); every class must match one prefix."""
    counts = {p: 0 for p, _ in expected}
    for c in schema.classes:
        for p, _ in expected:
            if c.name.startswith(p):
                counts[p] += 1
                break
        else:
            raise SchemaError('%s: class %s has none of the expected prefixes'
                              % (c.where, c.name))
    for p, n in expected:
        if counts[p] != n:
            raise SchemaError('%d classes with prefix %s, expected %d' % (counts[p], p, n))
