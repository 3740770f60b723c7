// Flags of meta-data records, one bit each. A class record carries
// FLAG_CLASS and any of ABSTRACT, AGGREGATION, ASSOCIATION, INDICATION,
// EXPERIMENTAL (a method record carries FLAG_METHOD instead of FLAG_CLASS).
// A feature record carries exactly one of FLAG_PROPERTY, FLAG_REFERENCE,
// FLAG_METHOD; properties and references may carry KEY, COUNTER, WRITE;
// method parameters carry IN, OUT, REQUIRED, EMBEDDED_OBJECT.
#ifndef CIMPLE_FLAGS_H
#define CIMPLE_FLAGS_H

#include <cimple/Type.h>

namespace cimple {

enum : uint32 {
    FLAG_PROPERTY = 1u << 0,
    FLAG_REFERENCE = 1u << 1,
    FLAG_METHOD = 1u << 2,
    FLAG_CLASS = 1u << 3,
    FLAG_ABSTRACT = 1u << 4,
    FLAG_AGGREGATION = 1u << 5,
    FLAG_ASSOCIATION = 1u << 6,
    FLAG_INDICATION = 1u << 7,
    FLAG_EXPERIMENTAL = 1u << 8,
    FLAG_KEY = 1u << 9,
    FLAG_COUNTER = 1u << 10,
    FLAG_WRITE = 1u << 11,
    FLAG_IN = 1u << 12,
    FLAG_OUT = 1u << 13,
    FLAG_REQUIRED = 1u << 14,
    // A reference record with this flag is an embedded instance (a CIM
    // property or parameter holding a whole instance, such as the
    // SourceInstance of an indication): its field holds an owned Instance*
    // like a reference, but it is not a reference of an association.
    FLAG_EMBEDDED_OBJECT = 1u << 15,
};

} // namespace cimple

#endif
