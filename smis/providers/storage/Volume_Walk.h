#pragma once
// The volumes of an array, each once: a volume made of several sub-volumes
// (SLU entries of one OLU number, for example one per RAID group it spans)
// is reached through its first sub-volume in use.

#include <cstdint>
#include <vector>

#include "VELDARO_RefTable.h"
#include "VELDARO_StorageVolume_Resource.h"

namespace cimple {

struct Volume_Walk {
    // body(slu) for the first in-use sub-volume of each volume, in SLU
    // order; a sub-volume without an OLU number stands for itself. False as
    // soon as a body answers false.
    template <class Body>
    static bool each(const VELDARO_RefTable& table, Body body)
    {
        std::vector<bool> seen(0x10000, false);
        const std::uint32_t count = table.getSLUMaxCount();
        for (std::uint32_t i = 0; i < count; ++i) {
            const int slu = static_cast<int>(i);
            if ((table.getSluStatus(slu) & 0xFF) == VELDARO_StorageVolume_Resource::FREE_ENTRY)
                continue;
            const std::uint16_t olun = table.getSluOlun(slu);
            if (olun != NONE) {
                if (seen[olun])
                    continue;
                seen[olun] = true;
            }
            if (!body(slu))
                return false;
        }
        return true;
    }

private:
    static constexpr std::uint16_t NONE = 0xFFFF;
};

}  // namespace cimple
