#pragma once
// The RAID group number a storage redundancy set stands for, read from its
// HSRLUN text: decimal digits only, at most 0xFFFF. An empty HSRLUN is the
// global spare set; any other text names no RAID group.

#include <cimple/cimple.h>

#include <cstdint>
#include <optional>

namespace cimple::redundancy_set {

inline std::optional<std::uint16_t> raidGroupOf(const String& hsrlun)
{
    const char* text = hsrlun.c_str();
    if (!*text)
        return std::nullopt;
    std::uint32_t number = 0;
    for (const char* c = text; *c; ++c) {
        if (*c < '0' || *c > '9')
            return std::nullopt;
        number = number * 10 + static_cast<std::uint32_t>(*c - '0');
        if (number > 0xFFFF)
            return std::nullopt;
    }
    return static_cast<std::uint16_t>(number);
}

// The global spare set: no HSRLUN text.
inline bool isGlobal(const String& hsrlun)
{
    return hsrlun.size() == 0;
}

}  // namespace cimple::redundancy_set
