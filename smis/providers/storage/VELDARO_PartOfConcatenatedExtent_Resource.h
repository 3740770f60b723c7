#pragma once
// Builds VELDARO_PartOfConcatenatedExtent instances: one per sub-volume (SLU)
// of a volume made of more than one sub-volume.

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_PartOfConcatenatedExtent.h"

namespace cimple {

class VELDARO_PartOfConcatenatedExtent_Resource {
public:
    explicit VELDARO_PartOfConcatenatedExtent_Resource(const String& storage) : _storage(storage) {}

    // 0 with an instance, 0 without one (entry skipped), 1 error.
    int createInstance(VELDARO_PartOfConcatenatedExtent*& instance, int sluIndex);

    // Fills the instance: 0, or 1 (logged) on failure.
    int setPartOfConcatenatedExtent(VELDARO_PartOfConcatenatedExtent* instance, String storage, std::uint16_t slun,
                                    int first, int second, std::uint8_t luType, std::uint64_t blocks);

    // Key "PVD%05d" of the SLU number.
    static bool divide_DeviceID(const char* key, std::uint16_t* slun);

private:
    String _storage;
};

}  // namespace cimple
