#include "Pool_Disk_Rules.h"

#include <algorithm>

#include "SMIS_TraceLog.h"
#include "VELDARO_RefTable.h"

namespace cimple {

namespace {

constexpr int DISK_TABLE_SIZE = 3072;
constexpr std::uint16_t NO_NUMBER = 0xFFFF;

std::uint64_t halfUp(std::uint64_t n)
{
    return n / 2 + (n % 2);
}

void addMultiples(std::uint64_t from, std::uint64_t to, std::uint64_t capacity, bool evenOnly,
                  Array<uint64>& out)
{
    for (std::uint64_t k = from; k <= to; ++k)
        if (!evenOnly || k % 2 == 0)
            out.append(k * capacity);
}

// Buckets a group must span for a pick of c disks at a level code.
std::uint64_t bucketsNeeded(std::uint8_t code, std::uint64_t c)
{
    switch (code) {
    case Pool_Disk_Rules::CODE_RAID1:
    case Pool_Disk_Rules::CODE_RAID5: return c;
    case Pool_Disk_Rules::CODE_RAID6:
    case Pool_Disk_Rules::CODE_RAID50: return halfUp(c);
    case Pool_Disk_Rules::CODE_RAID10: return 2;
    default: return 0;
    }
}

// The c disks that a level code draws from a group (fewer when the
// group's buckets cannot give them).
void draw(const SMISProviderDiskManager& dm, const DiskMng& group, std::uint8_t code, std::uint64_t c,
          Array<std::uint16_t>& out)
{
    Array<std::uint16_t> all;
    switch (code) {
    case Pool_Disk_Rules::CODE_RAID0: dm.getSameSizeAllPLUList(group.capacity, group.kind, all); break;
    case Pool_Disk_Rules::CODE_RAID1:
    case Pool_Disk_Rules::CODE_RAID5: Pool_Disk_Rules::bucketSpread(group, 1, all); break;
    case Pool_Disk_Rules::CODE_RAID6:
    case Pool_Disk_Rules::CODE_RAID50: Pool_Disk_Rules::bucketSpread(group, 2, all); break;
    case Pool_Disk_Rules::CODE_RAID10: Pool_Disk_Rules::bucketSpread(group, c / 2, all); break;
    default: break;
    }
    out.clear();
    for (std::size_t i = 0; i < all.size() && i < c; ++i)
        out.append(all[i]);
}

}  // namespace

std::uint64_t Pool_Disk_Rules::quotient(std::uint64_t size, std::uint64_t capacity)
{
    if (capacity == 0)
        return 0;
    return size / capacity + (size % capacity ? 1 : 0);
}

void Pool_Disk_Rules::bucketSpread(const DiskMng& group, std::uint64_t limit, Array<std::uint16_t>& out)
{
    out.clear();
    for (std::size_t b = 0; b < group.buckets.size(); ++b) {
        const Array<std::uint16_t>& bucket = *group.buckets[b];
        for (std::size_t i = 0; i < bucket.size() && i < limit; ++i)
            out.append(bucket[i]);
    }
}

void Pool_Disk_Rules::allDisksOfGroups(const SMISProviderDiskManager& dm, int minDisks, Array<std::uint16_t>& out)
{
    for (int g = 0; g < dm.GetDiskMngListCount(); ++g) {
        const DiskMng& group = *dm.GetDiskMngbyIndex(g);
        if (group.count >= minDisks)
            dm.getSameSizeAllPLUList(group.capacity, group.kind, out);
    }
}

void Pool_Disk_Rules::findAvailableExtentCom(const SMISProviderDiskManager& dm, std::uint64_t disks,
                                             std::uint64_t buckets, Array<std::uint16_t>& out)
{
    const std::uint64_t minBuckets = std::max<std::uint64_t>(buckets, 1);
    for (int g = 0; g < dm.GetDiskMngListCount(); ++g) {
        const DiskMng& group = *dm.GetDiskMngbyIndex(g);
        if (group.count < disks || group.buckets.size() < minBuckets)
            continue;
        for (std::size_t b = 0; b < group.buckets.size(); ++b)
            for (std::size_t i = 0; i < group.buckets[b]->size(); ++i)
                out.append((*group.buckets[b])[i]);
    }
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "findAvailableExtentCom(pluList.size = %d) end",
                           static_cast<int>(out.size()));
}

void Pool_Disk_Rules::sizesFromAllDisk(const SMISProviderDiskManager& dm, std::uint64_t max, std::uint64_t min,
                                       Array<uint64>& out)
{
    for (int g = 0; g < dm.GetDiskMngListCount(); ++g) {
        const DiskMng& group = *dm.GetDiskMngbyIndex(g);
        if (group.count >= min)
            addMultiples(min, std::min<std::uint64_t>(group.count, max), group.capacity, false, out);
    }
}

void Pool_Disk_Rules::sizesMirror(const SMISProviderDiskManager& dm, Array<uint64>& out)
{
    for (int g = 0; g < dm.GetDiskMngListCount(); ++g) {
        const DiskMng& group = *dm.GetDiskMngbyIndex(g);
        if (group.count >= 2 && group.buckets.size() >= 2)
            out.append(group.capacity);
    }
}

void Pool_Disk_Rules::sizesStripedMirror(const SMISProviderDiskManager& dm, Array<uint64>& out)
{
    for (int g = 0; g < dm.GetDiskMngListCount(); ++g) {
        const DiskMng& group = *dm.GetDiskMngbyIndex(g);
        std::uint64_t n = group.count - group.count % 2;
        if (n < 4)
            continue;
        n = std::min<std::uint64_t>(n, 32);
        Array<std::uint16_t> spread;
        for (; n >= 4; n -= 2) {
            bucketSpread(group, n / 2, spread);
            if (spread.size() >= n)
                break;
        }
        if (n >= 4)
            addMultiples(2, n / 2, group.capacity, false, out);
    }
}

void Pool_Disk_Rules::sizesParity(const SMISProviderDiskManager& dm, std::uint64_t min, std::uint64_t max,
                                  std::uint64_t parity, std::uint64_t perBucket, bool even, Array<uint64>& out)
{
    for (int g = 0; g < dm.GetDiskMngListCount(); ++g) {
        const DiskMng& group = *dm.GetDiskMngbyIndex(g);
        if (group.count < min)
            continue;
        Array<std::uint16_t> spread;
        bucketSpread(group, perBucket, spread);
        std::uint64_t n = spread.size();
        if (even)
            n -= n % 2;
        if (n < min)
            continue;
        n = std::min(n, max);
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "getSupportedSizeLevelCom(%lld)",
                               static_cast<long long>(n));
        addMultiples(min - parity, n - parity, group.capacity, even, out);
    }
}

void Pool_Disk_Rules::sizesAllowedCounts(const SMISProviderDiskManager& dm, const Array<std::uint16_t>& allowed,
                                         std::uint64_t min, std::uint64_t parity, std::uint64_t perBucket, bool half,
                                         Array<uint64>& out)
{
    if (allowed.size() == 0)
        return;
    for (int g = 0; g < dm.GetDiskMngListCount(); ++g) {
        const DiskMng& group = *dm.GetDiskMngbyIndex(g);
        if (group.count < min)
            continue;
        Array<std::uint16_t> spread;
        bucketSpread(group, half ? group.count / 2 : perBucket, spread);
        std::uint64_t n = spread.size();
        if (half)
            n -= n % 2;
        if (n < min)
            continue;
        n = std::min<std::uint64_t>(n, allowed[allowed.size() - 1]);
        for (std::size_t i = 0; i < allowed.size() && allowed[i] <= n; ++i) {
            // The pick of a striped mirror of a members takes at most a/2
            // disks per bucket: offer only the counts it can fill.
            if (half) {
                bucketSpread(group, allowed[i] / 2, spread);
                if (spread.size() < allowed[i])
                    continue;
            }
            out.append((half ? allowed[i] / 2 : allowed[i] - parity) * group.capacity);
        }
    }
}

std::uint32_t Pool_Disk_Rules::calcUsedDiskNumber(std::uint64_t q, bool doubling, std::uint64_t parity,
                                                  const Array<std::uint16_t>& allowed)
{
    const std::uint64_t need = doubling ? 2 * q : q + parity;
    if (allowed.size() == 0 || need > allowed[allowed.size() - 1])
        return 0;
    for (std::size_t i = 0; i < allowed.size(); ++i)
        if (allowed[i] >= need)
            return allowed[i];
    return 0;
}

void Pool_Disk_Rules::useDiskList(const SMISProviderDiskManager& dm, const Array<std::uint32_t>& perGroup,
                                  std::uint8_t code, Array<std::uint16_t>& out)
{
    out.clear();
    std::uint64_t best = 0;
    bool chosen = false;
    Array<std::uint16_t> picked;
    for (int g = 0; g < dm.GetDiskMngListCount() && static_cast<std::size_t>(g) < perGroup.size(); ++g) {
        const DiskMng& group = *dm.GetDiskMngbyIndex(g);
        const std::uint64_t c = perGroup[g];
        if (c == 0 || group.count < c || group.buckets.size() < bucketsNeeded(code, c))
            continue;
        const std::uint64_t product = group.capacity * c;
        if (chosen && product > best)
            continue;
        // A group whose buckets cannot give all c disks is no choice: the
        // group chosen before stays.
        draw(dm, group, code, c, picked);
        if (picked.size() < c)
            continue;
        best = product;
        chosen = true;
        out = picked;
    }
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "getUseDiskListCom(%d) end",
                           static_cast<int>(out.size()));
}

void Pool_Disk_Rules::freeDisks(const String& storage, Array<std::uint16_t>& out)
{
    out.clear();
    VELDARO_RefTable table(storage.c_str());
    for (int i = 0; i < DISK_TABLE_SIZE; ++i) {
        const std::uint8_t status = table.getDiskStatus(i) & 0xFF;
        if (status == 2)
            continue;
        const std::uint8_t usage = table.getDiskUsage(i);
        if (!((status == 4 && usage == 1) || (status == 0 && usage == 5)))
            continue;
        const int dlu = table.searchDlunFromDluTable(table.getDiskDlun(i));
        if (dlu >= 0 && table.getDluRlun(dlu) != NO_NUMBER)
            continue;
        const std::uint16_t plu = table.getDiskPlun(i);
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "0x%x = getAvailablePLUNumbers", plu);
        out.append(plu);
    }
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "getAvailablePLUNumbers(%d) end",
                           static_cast<int>(out.size()));
}

}  // namespace cimple
