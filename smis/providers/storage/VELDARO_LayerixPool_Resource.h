#pragma once
// Builds VELDARO_LayerixPool instances: one per valid entry of the tiering
// pool table (LXRP), with the capacity of its sub-pools from the status
// table. Also used by the association providers and the indication
// delivery.

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_LayerixPool.h"
#include "Table_Entries.h"

namespace cimple {

class VELDARO_LayerixPool_Resource {
public:
    static constexpr int LXRP_TABLE_SIZE = Table_Entries::LAYERIX_POOLS;
    // Sub-pool slots of one tiering pool entry.
    static constexpr int SUB_POOL_SLOTS = 5;

    explicit VELDARO_LayerixPool_Resource(const String& storage) : _storage(storage) {}

    // 0 with an instance, 0 without one (invalid entry, or no capacity can
    // be read at all), 1 error.
    int createInstance(VELDARO_LayerixPool*& instance, int lxrpIndex);

    // Fills every property of the class; 0, or 1 after an exception.
    int setLayerixPool(VELDARO_LayerixPool* instance, std::uint16_t pool, int status, std::uint64_t totalBlocks,
                       std::uint64_t usedBlocks, const char* name, std::uint16_t thresholdY, std::uint16_t thresholdR);

    // Key "VELDARO:LXP%04d" (then "_" and the storage address).
    static bool divide_InstanceID(const char* key, std::uint16_t* pool);

private:
    // Sums the capacity records of the pool's sub-pools; all ones in both
    // when a sub-pool has no record. False without the table cache.
    bool _getLxrpPoolLbaCount(int lxrpIndex, std::uint64_t* totalBlocks, std::uint64_t* usedBlocks);

    String _storage;
};

}  // namespace cimple
