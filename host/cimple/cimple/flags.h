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

#endif
