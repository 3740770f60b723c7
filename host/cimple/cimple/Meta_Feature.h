// Head shared by every feature record (property, reference, method).
#ifndef CIMPLE_META_FEATURE_H
#define CIMPLE_META_FEATURE_H

#include <cimple/flags.h>
#include <cimple/Type.h>

namespace cimple {

// Qualifier record. The schema carries no qualifiers: every qualifier list is
// null with a count of 0.
struct Meta_Qualifier;

struct Meta_Feature {
    uint32 refs;     // always 0
    uint32 flags;    // CIMPLE_FLAG_PROPERTY, CIMPLE_FLAG_REFERENCE or CIMPLE_FLAG_METHOD, plus qualifiers as flags
    const char* name;
    const Meta_Qualifier* const* meta_qualifiers; // null
    size_t num_meta_qualifiers;                   // 0
};

} // namespace cimple

#endif
