// Default values that a Meta_Property points at (its `value` field).
//
// For a scalar property (subscript 0) the record is a Meta_Value_Scalar<T>,
// for an array property a Meta_Value_Array<T>, where T is the C++ type of the
// type code (Type.h) except that STRING and DATETIME defaults are given as
// `const char*` text (a datetime in its 25-character form). For example:
//
//   static const Meta_Value_Scalar<uint16> _CIM_X_EnabledState_MV = {5};
//   static const Meta_Value_Scalar<const char*> _CIM_X_Name_MV = {"none"};
//   static const uint16 _CIM_X_Modes_MVA[] = {1, 2};
//   static const Meta_Value_Array<uint16> _CIM_X_Modes_MV = {_CIM_X_Modes_MVA, 2};
#ifndef CIMPLE_META_VALUE_H
#define CIMPLE_META_VALUE_H

#include <cimple/Type.h>

namespace cimple {

// What a property record's value points at: one of the records below.
struct Meta_Value {
    int dummy;
};

template <class T>
struct Meta_Value_Scalar {
    T value;
};

template <class T>
struct Meta_Value_Array {
    const T* elements;
    size_t num_elements;
};

} // namespace cimple

#endif
