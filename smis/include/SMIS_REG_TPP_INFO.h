#pragma once
// Argument record of the thin-provisioning pool commands (SMIS_CLI::
// createThinproPool, expandThinproPool). Every byte not named below is zero.

#include <cstddef>
#include <cstdint>

namespace cimple {

struct SMIS_REG_TPP_INFO {
    static constexpr std::size_t MAX_DISKS = 128;
    static constexpr uint16_t DISK_END = 0xFFFF;

    uint16_t poolNumber;             // written back by createThinproPool
    uint8_t raidLevel;               // RAID level code
    uint8_t attribute;               // 1 online, 2 nearline, 3 ssd, 129 sed
    uint8_t name[16];                // not terminated when full; none when name[0] is 0
    uint16_t diskList[MAX_DISKS];    // as in CMM_REG_RLU_INFO; ends with 0xFFFF
};

static_assert(sizeof(SMIS_REG_TPP_INFO) == 276);
static_assert(offsetof(SMIS_REG_TPP_INFO, attribute) == 3);
static_assert(offsetof(SMIS_REG_TPP_INFO, name) == 4);
static_assert(offsetof(SMIS_REG_TPP_INFO, diskList) == 20);

}  // namespace cimple
