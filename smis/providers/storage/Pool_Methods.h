#pragma once
// What the size and extent methods of the pool providers share: their start
// and end records, the storage address of the target pool and the method's
// return value.

#include <cimple/cimple.h>

#include <cstdint>

namespace cimple {

class Pool_Methods {
public:
    // Method return values.
    static constexpr std::uint32_t SUCCESS = 0;
    static constexpr std::uint32_t NOT_SUPPORTED = 1;
    static constexpr std::uint32_t USE_OTHER_METHOD = 2;
    static constexpr std::uint32_t INVALID_ELEMENT_TYPE = 3;
    static constexpr std::uint32_t FAILED = 4;
    static constexpr std::uint32_t NO_EXTENTS = 6;
    static constexpr std::uint32_t NO_STORAGE = 0x8030;

    // A record on the trace (level 3) and the standard log (information).
    static void logStep(const char* file, unsigned line, const char* fmt, ...) __attribute__((format(printf, 3, 4)));
    // "Invalid ElementType:%d" on the standard log (severe).
    static void logInvalidElementType(const char* file, unsigned line, const Property<uint16>& elementType);

    // The configured array named by the text after the last "_" of the
    // target pool's InstanceID.
    static bool storageOf(const Property<String>& instanceId, String& address);
};

}  // namespace cimple
