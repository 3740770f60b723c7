#pragma once
// Builds VELDARO_ThinProvisioningFreeExtent instances: the capacity not yet
// used of each thin provisioning pool that does not belong to a tiering
// pool, from the pool usage records of the array's status table. Also used
// by the thin pool's GetAvailableExtents and by element creation, which
// parses the keys with divide_DeviceID.

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_ThinProvisioningFreeExtent.h"
#include "Table_Entries.h"

namespace cimple {

class VELDARO_ThinProvisioningFreeExtent_Resource {
public:
    static constexpr int TPP_TABLE_SIZE = Table_Entries::THIN_POOLS;

    explicit VELDARO_ThinProvisioningFreeExtent_Resource(const String& storage) : _storage(storage) {}

    // 0 with an instance, 0 without one (entry skipped or nothing free),
    // 1 error.
    int createInstance(VELDARO_ThinProvisioningFreeExtent*& instance, int tppIndex);

    // Key "TPFE%04d_F%03d" of the pool number and the ordinal (always 0).
    static bool divide_DeviceID(const char* key, std::uint16_t* poolNumber, int* ordinal);

private:
    String _storage;
};

}  // namespace cimple
