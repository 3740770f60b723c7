#pragma once
// The disk entries a disk pair walk visits: the one entry of a request and,
// while enumerating, every entry that holds a disk, in table order. An entry
// without a disk (status low byte 2) builds no disk, slot, medium or
// extent, so passing it over leaves every answer as the walk of the whole
// table gives it.

#include <vector>

#include "Association_Parent_Frame.h"
#include "Table_Entries.h"
#include "VELDARO_RefTable.h"

namespace cimple {

struct Occupied_Disk_Walk {
    // body(range) for each entry's one-entry range; false as soon as a body
    // answers false.
    template <class Body>
    static bool each(const Association_Parent_Frame& frame, int diskIndex, Body body)
    {
        if (frame.oneEntry())
            return body(Index_Range::one(diskIndex, Table_Entries::DISKS));
        const VELDARO_RefTable table(frame.storage().c_str());
        const std::vector<int>* disks = table.getOccupiedDiskIndexes();
        if (!disks)
            return true;
        for (const int disk : *disks)
            if (!body(Index_Range::one(disk, Table_Entries::DISKS)))
                return false;
        return true;
    }
};

}  // namespace cimple
