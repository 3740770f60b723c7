#pragma once
// Builds VELDARO_DiskExtent instances: one per present disk of the disk table.
// Also used by association providers and configuration engines, which parse
// disk extent keys with divide_DeviceID.

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_DiskExtent.h"
#include "Table_Entries.h"

namespace cimple {

class VELDARO_DiskExtent_Resource {
public:
    static constexpr int DISK_TABLE_SIZE = Table_Entries::DISKS;

    explicit VELDARO_DiskExtent_Resource(const String& storage) : _storage(storage) {}

    // 0 with an instance, 0 without one (disk not present), 1 error.
    int createInstance(VELDARO_DiskExtent*& instance, int diskIndex);

    // Key "DE0x%04x" of the physical disk number.
    static bool divide_DeviceID(const char* key, std::uint16_t* plun);

private:
    String _storage;
};

}  // namespace cimple
