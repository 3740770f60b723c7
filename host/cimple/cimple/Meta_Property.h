// Record of a property (or of a property parameter of a method).
#ifndef CIMPLE_META_PROPERTY_H
#define CIMPLE_META_PROPERTY_H

#include <cimple/Meta_Feature.h>

namespace cimple {

struct Meta_Value;

struct Meta_Property {
    CIMPLE_META_FEATURE_FIELDS
    uint16 type;       // type code (Type.h)
    sint16 subscript;  // 0 scalar, -1 array of any length, n > 0 array of fixed length n
    uint32 offset;     // position of the field in the instance: CIMPLE_OFF(CLASS, FIELD)
    const Meta_Value* value; // default value (Meta_Value.h) or null for none
};

} // namespace cimple

#endif
