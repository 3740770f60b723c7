#pragma once
// Builds VELDARO_SDPVPool instances: one per sub-volume (SLU) of a snapshot
// data pool volume (LU type 7) whose volume entry exists. Also used by the
// association providers and the indication delivery (setSDPVPool with
// values from its change records).

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_SDPVPool.h"

namespace cimple {

class VELDARO_SDPVPool_Resource {
public:
    static constexpr std::uint8_t LU_TYPE_SDPV = 7;

    explicit VELDARO_SDPVPool_Resource(const String& storage) : _storage(storage) {}

    // 0 with an instance, 0 without one (entry not published), 1 error.
    int createInstance(VELDARO_SDPVPool*& instance, int sluIndex);

    // Fills every property of the class; 0.
    int setSDPVPool(VELDARO_SDPVPool* instance, std::uint16_t rlun, std::uint16_t olun, int status,
                    std::uint64_t blocks, unsigned sdpId, const char* name);

    // Key "VELDARO:SDPVP%05d" (then "_" and the storage address).
    static bool divide_InstanceID(const char* key, std::uint16_t* olun);

private:
    String _storage;
};

}  // namespace cimple
