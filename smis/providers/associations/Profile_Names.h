#pragma once
// The registered profiles the profile associations tell apart by their
// RegisteredName, and the test of a name.

#include <cimple/cimple.h>

namespace cimple {

struct Profile_Names {
    static constexpr const char* SERVER = "Server";
    static constexpr const char* SMI_S = "SMI-S";
    static constexpr const char* ARRAY = "Array";

    // True when the element's RegisteredName is set and equals name exactly.
    template <class Registered>
    static bool is(const Registered& element, const char* name)
    {
        return !element.RegisteredName.null && element.RegisteredName.value == name;
    }
};

}  // namespace cimple
