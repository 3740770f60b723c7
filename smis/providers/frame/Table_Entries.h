#pragma once
// Entries of the fixed-size tables of the configuration image, taken from
// the image's own table list so that no walk restates them.

#include <cstddef>

#include "cnfg_config_mgmt_table.h"

namespace cimple {

// Entries of table t as the image lays it out (0 for the tables sized by
// the array's model, whose counts the table view gives).
constexpr int tableEntriesOf(CMT_Table t)
{
    constexpr std::size_t counts[] = {
#define TABLE_ENTRIES_COUNT(Name, Layout, Count) Count,
        CMT_IMAGE_TABLES(TABLE_ENTRIES_COUNT)
#undef TABLE_ENTRIES_COUNT
    };
    return static_cast<int>(counts[static_cast<std::size_t>(t)]);
}

struct Table_Entries {
    static constexpr int of(CMT_Table t) { return tableEntriesOf(t); }

    // Disk entries: a disk, its slot, its medium and its extent share one.
    static constexpr int DISKS = tableEntriesOf(CMT_Table::Disk);
    static constexpr int DRIVE_ENCLOSURES = tableEntriesOf(CMT_Table::DE);
    static constexpr int THIN_POOLS = tableEntriesOf(CMT_Table::TPP);
    static constexpr int LAYERIX_POOLS = tableEntriesOf(CMT_Table::LXRP);
    // A disk number holds its enclosure in bits 8 to 15 and its position in
    // bits 0 to 7: at most this many positions per enclosure.
    static constexpr int POSITIONS_PER_ENCLOSURE = 256;
};

static_assert(Table_Entries::DISKS == static_cast<int>(cnfg_config_mgmt_table::DISK_COUNT));

}  // namespace cimple
