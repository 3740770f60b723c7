#pragma once
// Builds VELDARO_PhysicalDisk: every installed disk of the disk table as a
// physical package, keyed PD0x<disk number>_<address>.

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_PhysicalDisk.h"

namespace cimple {

class VELDARO_PhysicalDisk_Resource {
public:
    explicit VELDARO_PhysicalDisk_Resource(const String& storage) : _storage(storage) {}

    // 0 with an instance, 0 without one (no disk in the entry), 1 error (logged).
    int createInstance(VELDARO_PhysicalDisk*& instance, int diskIndex);

    // Key "PD0x%04x...": the physical disk number.
    static bool divide_Tag(const char* key, std::uint16_t* diskNumber);

private:
    String _storage;
};

}  // namespace cimple
