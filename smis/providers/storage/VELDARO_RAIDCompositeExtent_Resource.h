#pragma once
// Builds VELDARO_RAIDCompositeExtent instances: one per RAID group (RLU).

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_RAIDCompositeExtent.h"

namespace cimple {

class VELDARO_RAIDCompositeExtent_Resource {
public:
    explicit VELDARO_RAIDCompositeExtent_Resource(const String& storage) : _storage(storage) {}

    // 0 with an instance, 0 without one (free entry), 1 error.
    int createInstance(VELDARO_RAIDCompositeExtent*& instance, int rluIndex);

    // Key "VD%04d" of the RLU number.
    static bool divide_DeviceID(const char* key, std::uint16_t* rlun);

private:
    String _storage;
};

}  // namespace cimple
