#pragma once
// Builds VELDARO_StripingCompositeExtent instances: one per member set (DLU)
// of every RAID5+0 group.

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_StripingCompositeExtent.h"

namespace cimple {

class VELDARO_StripingCompositeExtent_Resource {
public:
    static constexpr std::uint8_t RAID50 = 9;
    static constexpr unsigned MEMBER_SETS = 16;

    explicit VELDARO_StripingCompositeExtent_Resource(const String& storage) : _storage(storage) {}

    // 0 with an instance, 0 without one (pair skipped), 1 error.
    int createInstance(VELDARO_StripingCompositeExtent*& instance, int rluIndex, int dluIndex);

    int setStripingCompositeExtent(VELDARO_StripingCompositeExtent* instance, std::uint16_t rlun, std::uint8_t level,
                                   int first, int second, std::uint64_t blocks, int memberDiskCount,
                                   std::uint8_t memberSet, std::uint16_t dlun);

    // Key "STP%04d_S%02d" of the RLU number and the member set number.
    static bool divide_DeviceID(const char* key, std::uint16_t* rlun, std::uint16_t* memberSet);

private:
    String _storage;
};

}  // namespace cimple
