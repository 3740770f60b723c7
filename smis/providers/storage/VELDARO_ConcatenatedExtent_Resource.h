#pragma once
// Builds VELDARO_ConcatenatedExtent instances: one per volume made of more
// than one sub-volume (an OLU entry whose SluCount is above 1).

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_ConcatenatedExtent.h"

namespace cimple {

class VELDARO_ConcatenatedExtent_Resource {
public:
    explicit VELDARO_ConcatenatedExtent_Resource(const String& storage) : _storage(storage) {}

    // 0 with an instance, 0 without one (entry skipped), 1 error.
    int createInstance(VELDARO_ConcatenatedExtent*& instance, int oluIndex);

    // Key "CAT%05d" of the OLU number.
    static bool divide_DeviceID(const char* key, std::uint16_t* olun);

private:
    String _storage;
};

}  // namespace cimple
