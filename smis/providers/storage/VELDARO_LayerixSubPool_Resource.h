#pragma once
// Builds VELDARO_LayerixSubPool instances: one per thin-provisioning pool
// that belongs to a tiering pool. Also used by the association providers
// and the indication delivery.

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_LayerixSubPool.h"
#include "Table_Entries.h"

namespace cimple {

class VELDARO_LayerixSubPool_Resource {
public:
    static constexpr int TPP_TABLE_SIZE = Table_Entries::THIN_POOLS;

    explicit VELDARO_LayerixSubPool_Resource(const String& storage) : _storage(storage) {}

    // 0 with an instance, 0 without one (not a sub-pool), 1 error.
    int createInstance(VELDARO_LayerixSubPool*& instance, int tppIndex);

    // Fills every property of the class; 0, or 1 after an exception.
    int setLayerixSubPool(VELDARO_LayerixSubPool* instance, std::uint8_t raidLevel, std::uint16_t pool, int status,
                          std::uint64_t totalBlocks, const char* name);

    // Key "VELDARO:LXSP%04d" (then "_" and the storage address).
    static bool divide_InstanceID(const char* key, std::uint16_t* pool);

private:
    String _storage;
};

}  // namespace cimple
