#pragma once
// Argument record of the volume commands (SMIS_CLI::createLogicalVolume,
// expandLogicalVolume, setLogicalVolume).

#include <cstddef>
#include <cstdint>

namespace cimple {

struct SMIS_OLU_INFO {
    uint16_t oluNumber;   // volume number
    uint16_t rluNumber;   // RAID group number, or pool number for a thin volume
    uint32_t sizeMB;      // size in MiB; the new total size for an expansion
    uint8_t name[16];     // not terminated when full; none when name[0] is 0
};

static_assert(sizeof(SMIS_OLU_INFO) == 24);
static_assert(offsetof(SMIS_OLU_INFO, sizeMB) == 4);
static_assert(offsetof(SMIS_OLU_INFO, name) == 8);

}  // namespace cimple
