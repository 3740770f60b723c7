// Record of a CIM class and the look-ups over it.
#ifndef CIMPLE_META_CLASS_H
#define CIMPLE_META_CLASS_H

#include <cimple/Meta_Method.h>
#include <cimple/Meta_Property.h>
#include <cimple/Meta_Reference.h>

namespace cimple {

struct Meta_Repository;

struct Meta_Class {
    Atomic refs;  // always 0
    uint32 flags; // CIMPLE_FLAG_CLASS plus ABSTRACT, AGGREGATION, ASSOCIATION, INDICATION, EXPERIMENTAL
    const char* name;
    const Meta_Qualifier* const* meta_qualifiers; // null
    size_t num_meta_qualifiers;                   // 0
    // Every feature of the class, inherited ones included, properties,
    // references and methods mixed, superclass features first in the
    // superclass's order; a feature the class redeclares stays at the
    // position of the inherited one.
    const Meta_Feature* const* meta_features;
    size_t num_meta_features;
    uint32 size;                      // sizeof the instance struct
    const Meta_Feature_Local* locals; // one per feature (null when no features)
    const Meta_Class* super_meta_class; // null at a root
    size_t num_keys;                  // number of features flagged CIMPLE_FLAG_KEY
    const Meta_Repository* meta_repository;
};

// True when descendant is ancestor or derives from it; classes are matched
// by name without regard to case. False when either is null.
bool is_subclass(const Meta_Class* ancestor, const Meta_Class* descendant);

// The feature of that name (without regard to case), or null. The flags
// argument restricts the search to CIMPLE_FLAG_PROPERTY, CIMPLE_FLAG_REFERENCE or
// CIMPLE_FLAG_METHOD features when non-zero.
const Meta_Feature* find_feature(const Meta_Class* mc, const char* name, uint32 flags = 0);
const Meta_Property* find_property(const Meta_Class* mc, const char* name);
const Meta_Reference* find_reference(const Meta_Class* mc, const char* name);
const Meta_Method* find_method(const Meta_Class* mc, const char* name);

} // namespace cimple

#endif
