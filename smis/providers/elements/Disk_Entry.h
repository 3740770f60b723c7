#pragma once
// What the four disk builders (disk drive, physical disk, physical media,
// disk slot) read first from one entry of the disk table: whether the entry
// holds a disk, its place, its number and its derived operational status.
//
//   Disk_Entry disk;
//   const int read = Disk_Entry::read(table, index, disk);
//   if (read != Disk_Entry::PRESENT) return read == Disk_Entry::ABSENT ? 0 : 1;

#include <cstdint>

#include "VELDARO_RefTable.h"
#include "Table_Entries.h"

namespace cimple {

struct Disk_Entry {
    static constexpr int DISK_TABLE_SIZE = Table_Entries::DISKS;
    static constexpr std::uint64_t BLOCK_SIZE = 512;

    enum Read { PRESENT = 0, FAILED = 1, ABSENT = 2 };

    std::uint32_t itemId = 0;
    unsigned de = 0;    // drive enclosure number (item id bits 8-15)
    unsigned slot = 0;  // slot in that enclosure (item id bits 0-7)
    std::uint16_t number = 0;  // physical disk number
    int status = 0;            // derived operational status

    // ABSENT for an index outside the table or an entry without a disk
    // (status low byte 2); FAILED (logged) when no status can be derived.
    static int read(const VELDARO_RefTable& table, int index, Disk_Entry& out);

    // The disk's capacity in blocks: the whole block count when usage bit 1
    // is set, else the user block count.
    static std::uint64_t blockCount(const VELDARO_RefTable& table, int index);

    // Bytes of a block count, and the same in kilobytes of 1000 bytes
    // (quotient truncated), both without 64-bit overflow: bytes beyond the
    // 64-bit range read as the largest value.
    static std::uint64_t bytes(std::uint64_t blocks);
    static std::uint64_t kilobytes(std::uint64_t blocks);
};

}  // namespace cimple
