// Scalar types of CIM values and the type codes that the meta-data records use.
#ifndef CIMPLE_TYPE_H
#define CIMPLE_TYPE_H

#include <cstddef>
#include <cstdint>

namespace cimple {

typedef bool boolean;
typedef std::uint8_t uint8;
typedef std::int8_t sint8;
typedef std::uint16_t uint16;
typedef std::int16_t sint16;
typedef std::uint32_t uint32;
typedef std::int32_t sint32;
// The 64-bit types are long long, as in CIMPLE on every platform: code that
// mixes them with std::uint64_t (long on this one) converts explicitly.
typedef unsigned long long uint64;
typedef long long sint64;
typedef float real32;
typedef double real64;

// CIM type codes, in this fixed order. A Meta_Property carries one of them in
// its `type` field; the field of the property in an instance is a
// Property<T> (subscript 0) or a Property<Array<T>> (subscript non-zero) of
// the C++ type listed beside each code.
enum Type : uint16 {
    BOOLEAN = 0,   // boolean
    UINT8 = 1,     // uint8
    SINT8 = 2,     // sint8
    UINT16 = 3,    // uint16
    SINT16 = 4,    // sint16
    UINT32 = 5,    // uint32
    SINT32 = 6,    // sint32
    UINT64 = 7,    // uint64
    SINT64 = 8,    // sint64
    REAL32 = 9,    // real32
    REAL64 = 10,   // real64
    CHAR16 = 11,   // char16
    STRING = 12,   // String
    DATETIME = 13, // Datetime
};

// Number of type codes; a code at or above it is not a CIM type.
constexpr uint16 NUM_TYPES = 14;

// CIM name of a type code ("uint16", "string", ...); "" for an unknown code.
const char* type_name(uint16 type);

} // namespace cimple

#endif
