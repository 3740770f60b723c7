// Flags of meta-data records, one bit each, with CIMPLE's names and bit
// values. A class record carries CIMPLE_FLAG_CLASS and any of ABSTRACT,
// AGGREGATION, ASSOCIATION, INDICATION, EXPERIMENTAL (a method record carries
// CIMPLE_FLAG_METHOD instead of CIMPLE_FLAG_CLASS). A feature record carries
// exactly one of CIMPLE_FLAG_PROPERTY, CIMPLE_FLAG_REFERENCE,
// CIMPLE_FLAG_METHOD; properties and references may carry KEY, COUNTER,
// WRITE; method parameters carry IN, OUT, REQUIRED, EMBEDDED_OBJECT. A
// reference record with CIMPLE_FLAG_EMBEDDED_OBJECT is an embedded instance
// (a CIM property or parameter holding a whole instance, such as the
// SourceInstance of an indication): its field holds an owned Instance* like a
// reference, but it is not a reference of an association.
#ifndef CIMPLE_FLAGS_H
#define CIMPLE_FLAGS_H

#include <cimple/Type.h>

#define CIMPLE_BIT(N) (1u << (N))

#define CIMPLE_FLAG_PROPERTY CIMPLE_BIT(0)
#define CIMPLE_FLAG_REFERENCE CIMPLE_BIT(1)
#define CIMPLE_FLAG_METHOD CIMPLE_BIT(2)
#define CIMPLE_FLAG_CLASS CIMPLE_BIT(3)
#define CIMPLE_FLAG_ABSTRACT CIMPLE_BIT(4)
#define CIMPLE_FLAG_AGGREGATION CIMPLE_BIT(6)
#define CIMPLE_FLAG_ASSOCIATION CIMPLE_BIT(7)
#define CIMPLE_FLAG_COUNTER CIMPLE_BIT(9)
#define CIMPLE_FLAG_EMBEDDED_OBJECT CIMPLE_BIT(12)
#define CIMPLE_FLAG_EXPERIMENTAL CIMPLE_BIT(15)
#define CIMPLE_FLAG_IN CIMPLE_BIT(18)
#define CIMPLE_FLAG_INDICATION CIMPLE_BIT(19)
#define CIMPLE_FLAG_KEY CIMPLE_BIT(21)
#define CIMPLE_FLAG_OUT CIMPLE_BIT(24)
#define CIMPLE_FLAG_REQUIRED CIMPLE_BIT(26)
#define CIMPLE_FLAG_WRITE CIMPLE_BIT(30)

namespace cimple {

// The names the project's code used before it took CIMPLE's; code still
// naming these moves to the CIMPLE_FLAG_ names, and then they go.
enum : uint32 {
    FLAG_PROPERTY = CIMPLE_FLAG_PROPERTY,
    FLAG_REFERENCE = CIMPLE_FLAG_REFERENCE,
    FLAG_METHOD = CIMPLE_FLAG_METHOD,
    FLAG_CLASS = CIMPLE_FLAG_CLASS,
    FLAG_ABSTRACT = CIMPLE_FLAG_ABSTRACT,
    FLAG_AGGREGATION = CIMPLE_FLAG_AGGREGATION,
    FLAG_ASSOCIATION = CIMPLE_FLAG_ASSOCIATION,
    FLAG_INDICATION = CIMPLE_FLAG_INDICATION,
    FLAG_EXPERIMENTAL = CIMPLE_FLAG_EXPERIMENTAL,
    FLAG_KEY = CIMPLE_FLAG_KEY,
    FLAG_COUNTER = CIMPLE_FLAG_COUNTER,
    FLAG_WRITE = CIMPLE_FLAG_WRITE,
    FLAG_IN = CIMPLE_FLAG_IN,
    FLAG_OUT = CIMPLE_FLAG_OUT,
    FLAG_REQUIRED = CIMPLE_FLAG_REQUIRED,
    FLAG_EMBEDDED_OBJECT = CIMPLE_FLAG_EMBEDDED_OBJECT,
};

} // namespace cimple

#endif
