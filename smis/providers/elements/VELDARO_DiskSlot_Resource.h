#pragma once
// Builds VELDARO_DiskSlot: the drive enclosure slot of every installed disk of
// the disk table, keyed DS0x<disk number>_<address>.

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_DiskSlot.h"

namespace cimple {

class VELDARO_DiskSlot_Resource {
public:
    explicit VELDARO_DiskSlot_Resource(const String& storage) : _storage(storage) {}

    // 0 with an instance, 0 without one (no disk in the entry), 1 error (logged).
    int createInstance(VELDARO_DiskSlot*& instance, int diskIndex);

    // Key "DS0x%04x...": the physical disk number.
    static bool divide_Tag(const char* key, std::uint16_t* diskNumber);

private:
    String _storage;
};

}  // namespace cimple
