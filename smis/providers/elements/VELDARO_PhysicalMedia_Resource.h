#pragma once
// Builds VELDARO_PhysicalMedia: every installed disk of the disk table as a
// medium with its capacity, keyed PM0x<disk number>_<address>.

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_PhysicalMedia.h"

namespace cimple {

class VELDARO_PhysicalMedia_Resource {
public:
    explicit VELDARO_PhysicalMedia_Resource(const String& storage) : _storage(storage) {}

    // 0 with an instance, 0 without one (no disk in the entry), 1 error (logged).
    int createInstance(VELDARO_PhysicalMedia*& instance, int diskIndex);

    // Key "PM0x%04x...": the physical disk number.
    static bool divide_Tag(const char* key, std::uint16_t* diskNumber);

private:
    String _storage;
};

}  // namespace cimple
