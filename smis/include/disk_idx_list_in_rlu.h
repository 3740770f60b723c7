#pragma once
// The disk entry indexes of a RAID group's member disks, as
// VELDARO_RefTable::getDiskIndexListInRlu fills them: up to 16 DLUs of 16
// disks each, in member order.

#include <cstdint>

struct disk_idx_list_in_rlu {
    static constexpr unsigned CAPACITY = 16 * 16;
    std::uint32_t DiskIdx[CAPACITY];
};
static_assert(sizeof(disk_idx_list_in_rlu) == 1024, "disk_idx_list_in_rlu holds 256 32-bit indexes");
