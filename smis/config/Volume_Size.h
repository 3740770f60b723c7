#pragma once
// Size arithmetic shared by the volume and pool engines: bytes at the CIM
// interface, MiB in commands and limits, 512-byte blocks in the table.
// Every operation saturates instead of wrapping, so table values of any
// size give a result no larger than the 64-bit range.

#include <cstdint>
#include <limits>

namespace cimple::volume_size {

constexpr std::uint64_t MIB = 0x100000;
constexpr std::uint64_t BLOCK = 512;
constexpr std::uint64_t BLOCKS_PER_MIB = MIB / BLOCK;
constexpr std::uint64_t MAX64 = std::numeric_limits<std::uint64_t>::max();

// MiB of a byte size, rounding up.
constexpr std::uint64_t bytesToMiB(std::uint64_t bytes)
{
    return bytes / MIB + ((bytes & (MIB - 1)) ? 1 : 0);
}

// Blocks of n MiB.
constexpr std::uint64_t mibToBlocks(std::uint64_t mib)
{
    return mib > MAX64 / BLOCKS_PER_MIB ? MAX64 : mib * BLOCKS_PER_MIB;
}

// Whole MiB held by a block count (rounding down).
constexpr std::uint64_t blocksToMiB(std::uint64_t blocks)
{
    return blocks / BLOCKS_PER_MIB;
}

// ceil(count / stripe) x stripe; stripe 0 leaves the count as it is.
constexpr std::uint64_t roundUpToStripe(std::uint64_t count, std::uint64_t stripe)
{
    if (stripe == 0)
        return count;
    const std::uint64_t units = count / stripe + ((count % stripe) ? 1 : 0);
    return units > MAX64 / stripe ? MAX64 : units * stripe;
}

constexpr std::uint64_t addSaturated(std::uint64_t a, std::uint64_t b)
{
    return a > MAX64 - b ? MAX64 : a + b;
}

// A volume table entry (OLU or SLU) is free when the low byte of its status
// word is 6; the high byte carries flags that do not make it busy.
constexpr bool isFreeEntry(std::uint16_t status)
{
    return (status & 0xFF) == 6;
}

}  // namespace cimple::volume_size
