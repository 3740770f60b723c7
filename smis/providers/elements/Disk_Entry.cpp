// The common start of the disk builders.

#include "Disk_Entry.h"

#include <limits>

#include "Instance_Provider_Frame.h"

namespace cimple {

int Disk_Entry::read(const VELDARO_RefTable& table, int index, Disk_Entry& out)
{
    if (index < 0 || index >= DISK_TABLE_SIZE)
        return ABSENT;
    if ((table.getDiskStatus(index) & 0xFF) == 2)
        return ABSENT;
    out.itemId = table.getDiskItemId(index);
    out.de = (out.itemId >> 8) & 0xFF;
    out.slot = out.itemId & 0xFF;
    out.number = table.getDiskPlun(index);
    // The status derivation looks the disk up by its physical disk number;
    // the item id names the same disk only when its low 16 bits happen to
    // equal that number, so the number itself is passed.
    int status = 0;
    if (table.getDiskSMISStatus(out.number, &status) != 0) {
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return FAILED;
    }
    out.status = status;
    return PRESENT;
}

std::uint64_t Disk_Entry::blockCount(const VELDARO_RefTable& table, int index)
{
    return (table.getDiskUsage(index) & 0x02) ? table.getDiskWholeBlockCount(index) : table.getDiskBlockCount(index);
}

std::uint64_t Disk_Entry::bytes(std::uint64_t blocks)
{
    constexpr std::uint64_t MAX = std::numeric_limits<std::uint64_t>::max();
    return blocks > MAX / BLOCK_SIZE ? MAX : blocks * BLOCK_SIZE;
}

std::uint64_t Disk_Entry::kilobytes(std::uint64_t blocks)
{
    // blocks = q * 1000 + r: blocks * 512 / 1000 = q * 512 + r * 512 / 1000.
    return (blocks / 1000) * BLOCK_SIZE + (blocks % 1000) * BLOCK_SIZE / 1000;
}

}  // namespace cimple
