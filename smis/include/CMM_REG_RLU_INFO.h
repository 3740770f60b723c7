#pragma once
// Argument record of a new RAID group (SMIS_CLI::addRLU). Every byte not
// named below is zero.

#include <cstddef>
#include <cstdint>

namespace cimple {

struct CMM_REG_RLU_INFO {
    static constexpr std::size_t MAX_DISKS = 128;
    static constexpr uint16_t DISK_END = 0xFFFF;

    uint16_t rluNumber;              // RAID group number
    uint8_t raidLevel;               // RAID level code, written in decimal
    uint8_t reserved;
    uint8_t name[16];                // not terminated when full; none when name[0] is 0
    uint16_t diskList[MAX_DISKS];    // enclosure in the high byte, slot in the low 5 bits; ends with 0xFFFF
};

static_assert(sizeof(CMM_REG_RLU_INFO) == 276);
static_assert(offsetof(CMM_REG_RLU_INFO, name) == 4);
static_assert(offsetof(CMM_REG_RLU_INFO, diskList) == 20);

}  // namespace cimple
