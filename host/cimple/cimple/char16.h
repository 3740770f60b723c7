// A CIM char16 value: one UCS-2 code unit, a type of its own so that it is
// never confused with uint16 in overloads or in meta-data.
#ifndef CIMPLE_CHAR16_H
#define CIMPLE_CHAR16_H

#include <cimple/Type.h>

namespace cimple {

class char16 {
public:
    constexpr char16() : _code(0) {}
    constexpr char16(uint16 code) : _code(code) {}

    constexpr uint16 code() const { return _code; }
    constexpr operator uint16() const { return _code; }

    friend constexpr bool operator==(char16 a, char16 b) { return a._code == b._code; }
    friend constexpr bool operator!=(char16 a, char16 b) { return a._code != b._code; }

private:
    uint16 _code;
};

} // namespace cimple

#endif
