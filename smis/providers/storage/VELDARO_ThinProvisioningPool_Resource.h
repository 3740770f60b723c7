#pragma once
// Builds VELDARO_ThinProvisioningPool instances: one per thin-provisioning
// pool with member disks that is not a tiering sub-pool. Also used by the
// association providers and the indication delivery (setThinProvisioningPool
// with values from its change records).

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_ThinProvisioningPool.h"
#include "Table_Entries.h"

namespace cimple {

class VELDARO_ThinProvisioningPool_Resource {
public:
    static constexpr int TPP_TABLE_SIZE = Table_Entries::THIN_POOLS;

    explicit VELDARO_ThinProvisioningPool_Resource(const String& storage) : _storage(storage) {}

    // 0 with an instance, 0 without one (entry not published), 1 error.
    int createInstance(VELDARO_ThinProvisioningPool*& instance, int tppIndex);

    // Fills every property of the class; 0.
    int setThinProvisioningPool(VELDARO_ThinProvisioningPool* instance, std::uint8_t raidLevel, std::uint16_t pool,
                                int status, std::uint64_t totalBlocks, std::uint64_t usedBlocks, const char* name,
                                std::uint16_t attention, std::uint16_t warning);

    // An instance holding only its key (InstanceID), for a pool the table
    // does not show yet; NULL when it cannot be made.
    VELDARO_ThinProvisioningPool* keyInstance(std::uint16_t number) const;

    // Key "VELDARO:TPP%04d" (then "_" and the storage address).
    static bool divide_InstanceID(const char* key, std::uint16_t* pool);

private:
    String instanceID(std::uint16_t number) const;

    String _storage;
};

}  // namespace cimple
