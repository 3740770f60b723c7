// Capacity arithmetic and the thin pool capacity records.

#include "Pool_Capacity.h"

#include <cstdlib>
#include <limits>

#include "ByteOrder.h"
#include "SMIS_CMTAccess.h"

namespace cimple {

namespace {
constexpr std::uint64_t MAX64 = std::numeric_limits<std::uint64_t>::max();
}

std::uint64_t Pool_Capacity::bytesOf(std::uint64_t blocks)
{
    return blocks > MAX64 / BLOCK_SIZE ? MAX64 : blocks * BLOCK_SIZE;
}

std::uint64_t Pool_Capacity::blocksOfMiB(std::uint64_t mib)
{
    constexpr std::uint64_t perMiB = MIB / BLOCK_SIZE;
    return mib > MAX64 / perMiB ? MAX64 : mib * perMiB;
}

std::uint64_t Pool_Capacity::remaining(std::uint64_t total, std::uint64_t used)
{
    return total > used ? total - used : 0;
}

std::uint64_t Pool_Capacity::sum(std::uint64_t a, std::uint64_t b)
{
    return a > MAX64 - b ? MAX64 : a + b;
}

std::uint64_t Pool_Capacity::usagePercent(std::uint64_t used, std::uint64_t total)
{
    if (total == 0)
        return 0;
    const unsigned __int128 percent = static_cast<unsigned __int128>(used) * 100 / total;
    return percent > MAX64 ? MAX64 : static_cast<std::uint64_t>(percent);
}

const char* Pool_Capacity::alarmStatus(std::uint64_t usage, unsigned attention, unsigned warning, unsigned severe)
{
    if (attention == 0 && warning == 0 && severe == 0)
        return "";
    if (usage == 100)
        return "Critical";
    if (severe != 0 && usage >= severe)
        return "Severe";
    if (warning != 0 && usage >= warning)
        return "Warning";
    if (attention != 0 && usage >= attention)
        return "Attention";
    return "Normal";
}

bool Pool_Capacity::findRecord(const std::uint8_t* records, long count, std::uint16_t pool, Record& out)
{
    if (!records || count < 1)
        return false;
    for (long i = 0; i < count; ++i) {
        const std::uint8_t* r = records + static_cast<std::size_t>(i) * RECORD_SIZE;
        if (smis::loadLE16(r) != pool)
            continue;
        out.totalMiB = smis::loadLE32(r + 4);
        out.usedMiB = smis::loadLE32(r + 8);
        return true;
    }
    return false;
}

std::uint8_t* Pool_Capacity::readRecords(const String& storage, long& count)
{
    count = -1;
    SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
    if (!cache)
        return nullptr;
    void* data = cache->GetExTableInfo(storage.c_str(), SMIS_CMTAccess::EX_THIN_POOL_ALARM, nullptr, count);
    if (data && count < 1) {
        std::free(data);
        data = nullptr;
    }
    return static_cast<std::uint8_t*>(data);
}

}  // namespace cimple
