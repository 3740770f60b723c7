// Head shared by every feature record (property, reference, method).
#ifndef CIMPLE_META_FEATURE_H
#define CIMPLE_META_FEATURE_H

#include <cimple/flags.h>
#include <cimple/Atomic.h>
#include <cimple/Type.h>

namespace cimple {

// Qualifier record. The schema carries no qualifiers: every qualifier list is
// null with a count of 0.
struct Meta_Qualifier;

// Records are flat aggregates: Meta_Property, Meta_Reference and Meta_Method
// begin with these same fields in this order and add their own, so a feature
// list holds each record through a Meta_Feature pointer and code reads the
// record of the kind its flags name through a reinterpret_cast. A record is
// written as, for example:
//
//   static const Meta_Property _CIM_X_Name = {
//       CIMPLE_ATOMIC_INITIALIZER, CIMPLE_FLAG_PROPERTY | CIMPLE_FLAG_KEY, "Name",
//       nullptr, 0, STRING, 0, CIMPLE_OFF(CIM_X, Name), nullptr};
//
// The fields every feature record begins with: refs (always 0), flags
// (CIMPLE_FLAG_PROPERTY, CIMPLE_FLAG_REFERENCE or CIMPLE_FLAG_METHOD, plus
// qualifiers as flags), name, and the qualifier list (null) with its count (0).
#define CIMPLE_META_FEATURE_FIELDS                                                          \
    Atomic refs;                                                                            \
    uint32 flags;                                                                           \
    const char* name;                                                                       \
    const Meta_Qualifier* const* meta_qualifiers;                                           \
    size_t num_meta_qualifiers;

struct Meta_Feature {
    CIMPLE_META_FEATURE_FIELDS
};

// Per feature of a class record: 1 declared by the class, 0 inherited.
struct Meta_Feature_Local {
    uint8 local;
};

} // namespace cimple

#endif
