#pragma once
// The RAID group (RLU) relations of the configuration table that the
// extent associations walk: a group's member disks in member order, its
// DLU members, the disks in a DLU's slots, the group of a disk and a disk's
// place in its group.

#include <algorithm>
#include <cstdint>

#include "VELDARO_RefTable.h"
#include "disk_idx_list_in_rlu.h"

namespace cimple {

struct RAID_Group_Walk {
    // RAID level codes.
    static constexpr std::uint8_t RAID5 = 1;
    static constexpr std::uint8_t RAID6 = 3;
    static constexpr std::uint8_t RAID1 = 4;
    static constexpr std::uint8_t RAID0 = 8;
    static constexpr std::uint8_t RAID50 = 9;
    static constexpr std::uint8_t RAID10 = 12;
    // A table number that stands for none.
    static constexpr std::uint16_t NONE = 0xFFFF;
    // DLU members of a group, and disk slots of a DLU.
    static constexpr int MEMBER_SLOTS = 16;
    static constexpr int DISK_SLOTS = 16;

    // A group entry that is not in use.
    static bool isFree(const VELDARO_RefTable& table, int rlu) { return (table.getRluStatus(rlu) & 0xFF) == 3; }

    // The group's member disks (disk indexes) in member order; the count.
    static int memberDisks(const VELDARO_RefTable& table, int rlu, disk_idx_list_in_rlu& list)
    {
        const int n = table.getDiskIndexListInRlu(rlu, &list);
        return std::clamp(n, 0, static_cast<int>(disk_idx_list_in_rlu::CAPACITY));
    }

    // Place (from 1) of the disk in the group's member list; 0 when absent.
    static int placeInGroup(const VELDARO_RefTable& table, int rlu, int disk)
    {
        disk_idx_list_in_rlu list{};
        const int n = memberDisks(table, rlu, list);
        for (int k = 0; k < n; ++k)
            if (list.DiskIdx[k] == static_cast<std::uint32_t>(disk))
                return k + 1;
        return 0;
    }

    // DLU members of the group (at most MEMBER_SLOTS).
    static int memberCount(const VELDARO_RefTable& table, int rlu)
    {
        return std::min<int>(table.getRluMemberDiskCount(rlu), MEMBER_SLOTS);
    }

    // The DLU index of member j of the group, or -1.
    static int memberDlu(const VELDARO_RefTable& table, int rlu, int j)
    {
        const std::uint16_t dlun = table.getRluDlun(rlu, j);
        return dlun == NONE ? -1 : table.searchDlunFromDluTable(dlun);
    }

    // The disk index in slot `slot` of a DLU, or -1.
    static int slotDisk(const VELDARO_RefTable& table, int dlu, int slot)
    {
        const std::uint16_t plun = table.getDluUsePlu(dlu, slot);
        return plun == NONE ? -1 : table.searchPlunFromDiskTable(plun);
    }

    // The DLU and RLU indexes of a disk; false when the chain breaks.
    static bool groupOfDisk(const VELDARO_RefTable& table, int disk, int& dlu, int& rlu)
    {
        const std::uint16_t dlun = table.getDiskDlun(disk);
        if (dlun == NONE)
            return false;
        dlu = table.searchDlunFromDluTable(dlun);
        if (dlu < 0)
            return false;
        rlu = table.searchRlunFromRluTable(table.getDluRlun(dlu));
        return rlu >= 0;
    }
    // Only the RLU index (-1 when the chain breaks).
    static int groupOfDisk(const VELDARO_RefTable& table, int disk)
    {
        int dlu = -1, rlu = -1;
        return groupOfDisk(table, disk, dlu, rlu) ? rlu : -1;
    }
};

}  // namespace cimple
