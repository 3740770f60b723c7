// Record of an extrinsic method. It doubles as the class record of the
// method's instances (the parameters and the return value): a method
// instance's head points at this record through its `meta_class` field, and
// the record's first seven fields line up with those of Meta_Class (refs,
// flags, name, qualifiers, their count, features, their count); the size
// sits where Meta_Class has it, but wider.
#ifndef CIMPLE_META_METHOD_H
#define CIMPLE_META_METHOD_H

#include <cimple/Meta_Feature.h>

namespace cimple {

struct Meta_Method {
    CIMPLE_META_FEATURE_FIELDS
    // Parameters in declaration order (Meta_Property and Meta_Reference
    // records flagged IN and/or OUT), the last being the uint32 property
    // "return_value" flagged OUT.
    const Meta_Feature* const* meta_features;
    size_t num_meta_features;
    size_t size;        // sizeof the method instance struct
    uint16 return_type; // type code of the return value: UINT32
};

} // namespace cimple

#endif
