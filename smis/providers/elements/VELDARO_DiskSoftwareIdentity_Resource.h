#pragma once
// Builds VELDARO_DiskSoftwareIdentity: the firmware of one installed disk per
// disk table entry, keyed "VELDARO:DSI0x%04x" (PLU number) + "_" + address.

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_DiskSoftwareIdentity.h"
#include "Table_Entries.h"

namespace cimple {

class VELDARO_DiskSoftwareIdentity_Resource {
public:
    static constexpr int DISK_TABLE_SIZE = Table_Entries::DISKS;

    explicit VELDARO_DiskSoftwareIdentity_Resource(const String& storage) : _storage(storage) {}

    // 0 with an instance, 0 without one (no disk in the slot), 1 error.
    int createInstance(VELDARO_DiskSoftwareIdentity*& instance, int diskIndex);

    // The PLU number of an InstanceID; false when the key is not of this class.
    static bool divide_InstanceID(const char* key, std::uint16_t* plun);

private:
    String _storage;
};

}  // namespace cimple
