#include <cimple/Type.h>

namespace cimple {

const char* type_name(uint16 type)
{
    static const char* const names[] = {"boolean", "uint8",  "sint8",  "uint16", "sint16", "uint32", "sint32",
                                        "uint64",  "sint64", "real32", "real64", "char16", "string", "datetime"};
    return type < NUM_TYPES ? names[type] : "";
}

} // namespace cimple
