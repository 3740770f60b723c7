#pragma once
// Builds VELDARO_ThinProvisioningExtent instances: one per thin provisioning
// pool (TPP) that does not belong to a tiering pool, its whole capacity.

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_ThinProvisioningExtent.h"
#include "Table_Entries.h"

namespace cimple {

class VELDARO_ThinProvisioningExtent_Resource {
public:
    // The TPP table always has this many entries.
    static constexpr int TPP_TABLE_SIZE = Table_Entries::THIN_POOLS;

    explicit VELDARO_ThinProvisioningExtent_Resource(const String& storage) : _storage(storage) {}

    // 0 with an instance, 0 without one (entry skipped), 1 error.
    int createInstance(VELDARO_ThinProvisioningExtent*& instance, int tppIndex);

    // Key "TPP%04d" of the pool number.
    static bool divide_DeviceID(const char* key, std::uint16_t* poolNumber);

private:
    String _storage;
};

}  // namespace cimple
