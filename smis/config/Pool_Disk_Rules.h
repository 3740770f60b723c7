#pragma once
// The disk arithmetic of the pool engines over the groups and enclosure
// buckets of a disk manager: which disks can serve a RAID level, which pool
// sizes they allow, how many disks a size needs in each group and which
// disks are picked. The engines' level rules are built from these.

#include <cimple/cimple.h>

#include <cstdint>

#include "SMISProviderDiskManager.h"

namespace cimple {

class Pool_Disk_Rules {
public:
    // Array RAID level codes (the thin-pool table's and the disk pick's).
    static constexpr std::uint8_t CODE_RAID5 = 1;
    static constexpr std::uint8_t CODE_RAID6 = 3;
    static constexpr std::uint8_t CODE_RAID1 = 4;
    static constexpr std::uint8_t CODE_RAID0 = 8;
    static constexpr std::uint8_t CODE_RAID50 = 9;
    static constexpr std::uint8_t CODE_RAID10 = 12;

    // The size divided by the capacity, a remainder counting as one more;
    // 0 for a capacity of 0.
    static std::uint64_t quotient(std::uint64_t size, std::uint64_t capacity);

    // out := the first PLUs of each bucket of the group, at most limit each.
    static void bucketSpread(const DiskMng& group, std::uint64_t limit, Array<std::uint16_t>& out);

    // Appends every disk of each group holding at least minDisks disks.
    static void allDisksOfGroups(const SMISProviderDiskManager& dm, int minDisks, Array<std::uint16_t>& out);
    // Appends, bucket by bucket, the disks of each group with at least
    // disks disks and at least buckets (and one) buckets.
    static void findAvailableExtentCom(const SMISProviderDiskManager& dm, std::uint64_t disks, std::uint64_t buckets,
                                       Array<std::uint16_t>& out);

    // Sizes k x capacity for k = min to min(count, max), per group.
    static void sizesFromAllDisk(const SMISProviderDiskManager& dm, std::uint64_t max, std::uint64_t min,
                                 Array<uint64>& out);
    // One disk's capacity per group of two disks in two buckets.
    static void sizesMirror(const SMISProviderDiskManager& dm, Array<uint64>& out);
    // RAID1+0 sizes of a RAID group (up to 32 disks, spread over buckets).
    static void sizesStripedMirror(const SMISProviderDiskManager& dm, Array<uint64>& out);
    // Parity levels of a RAID group: disks spread at most perBucket per
    // bucket; sizes k x capacity for k = min - parity to n - parity (only
    // even k when even is set).
    static void sizesParity(const SMISProviderDiskManager& dm, std::uint64_t min, std::uint64_t max,
                            std::uint64_t parity, std::uint64_t perBucket, bool even, Array<uint64>& out);
    // Thin pools: member counts restricted to allowed. With half the spread
    // takes half the group per bucket and a count a gives a/2 data disks
    // (offered only when a/2 disks per bucket make a members, as the pick
    // takes them), else perBucket disks per bucket and a - parity data disks.
    static void sizesAllowedCounts(const SMISProviderDiskManager& dm, const Array<std::uint16_t>& allowed,
                                   std::uint64_t min, std::uint64_t parity, std::uint64_t perBucket, bool half,
                                   Array<uint64>& out);

    // The first allowed count not below need (2q with doubling, else
    // q + parity); 0 when need exceeds the last allowed count.
    static std::uint32_t calcUsedDiskNumber(std::uint64_t q, bool doubling, std::uint64_t parity,
                                            const Array<std::uint16_t>& allowed);

    // The disks of the qualifying group with the smallest capacity x count
    // (a later equal group wins), for the array RAID level code; RAID0
    // draws the group's first disks. out stays empty when nothing fits.
    static void useDiskList(const SMISProviderDiskManager& dm, const Array<std::uint32_t>& perGroup,
                            std::uint8_t code, Array<std::uint16_t>& out);

    // The array's free disks by PLU, in table order.
    static void freeDisks(const String& storage, Array<std::uint16_t>& out);
};

}  // namespace cimple
