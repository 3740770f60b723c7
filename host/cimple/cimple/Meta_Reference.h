// Record of a reference (or of a reference parameter of a method, or of an
// embedded instance when CIMPLE_FLAG_EMBEDDED_OBJECT is set).
#ifndef CIMPLE_META_REFERENCE_H
#define CIMPLE_META_REFERENCE_H

#include <cimple/Meta_Feature.h>

namespace cimple {

struct Meta_Class;

struct Meta_Reference {
    CIMPLE_META_FEATURE_FIELDS
    sint16 subscript;            // 0 single reference (field CLASS*); non-zero reference array (field Array<CLASS*>)
    const Meta_Class* meta_class; // class the schema declares; null only for an embedded object of any class
    uint32 offset;               // position of the field in the instance: CIMPLE_OFF(CLASS, FIELD)
};

} // namespace cimple

#endif
