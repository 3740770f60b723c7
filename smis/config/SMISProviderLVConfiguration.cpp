// Standard volume engine: free ranges of a RAID group and the checks made
// before a volume is created in it.

#include "SMISProviderLVConfiguration.h"

#include <cinttypes>
#include <new>
#include <vector>

#include "SMIS_TraceLog.h"
#include "VELDARO_RefTable.h"
#include "Volume_Size.h"

namespace cimple {

namespace {

using namespace volume_size;

constexpr std::uint16_t STATUS_INVALID_GROUP = 3;
// Volume slots of one RAID group entry.
constexpr unsigned GROUP_SLOTS = 256;

struct Occupied {
    std::uint64_t start;
    std::uint64_t next;  // first block after the stripe-rounded volume
};

// The group's index when it is in the table and usable, else -1 with the record.
int usableGroup(const VELDARO_RefTable& table, std::uint16_t rlun)
{
    const int r = table.searchRlunFromRluTable(rlun);
    if (r < 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Invalid RLU-Number");
        return -1;
    }
    if ((table.getRluStatus(r) & 0xFF) == STATUS_INVALID_GROUP) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Invalid RLU-Status");
        return -1;
    }
    return r;
}

unsigned slotCount(const VELDARO_RefTable& table, int r)
{
    const unsigned n = table.getRluSluCount(r);
    return n < GROUP_SLOTS ? n : GROUP_SLOTS;
}

}  // namespace

SMISProviderLVConfiguration::SMISProviderLVConfiguration(const String& address) : _storage(address) {}

SMISProviderLVConfiguration::~SMISProviderLVConfiguration() = default;

int SMISProviderLVConfiguration::getFreeSpaceMaxRangeInRaid(std::uint16_t rlun, std::int32_t stripe,
                                                            std::uint64_t& start, std::uint64_t& end) const
{
    start = 0;
    end = 0;
    // A negative stripe is as unusable as 0: it would read as a huge block count.
    if (stripe <= 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Invalid StripeSize");
        return RESULT_ERROR;
    }
    VELDARO_RefTable table(_storage.c_str());
    const int r = usableGroup(table, rlun);
    if (r < 0)
        return RESULT_ERROR;
    const std::uint64_t capacity = table.getRlbaCount(r);
    const unsigned slots = slotCount(table, r);
    if (slots == 0) {
        // A group of no blocks has no range; [0, C - 1] would wrap.
        end = capacity == 0 ? 0 : capacity - 1;
        return 0;
    }

    std::vector<Occupied> used;  // sorted by start; equal starts: newest first
    used.reserve(slots);
    for (unsigned i = 0; i < slots; ++i) {
        const int s = table.searchSlunFromSluTable(table.getRluSlun(r, static_cast<int>(i)));
        if (s < 0) {
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Invalid SLU-Number");
            return RESULT_ERROR;
        }
        if (!table.isSupportLUType(s)) {
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Not support volume type");
            return RESULT_ERROR;
        }
        const std::uint64_t first = table.getSluStartRlba(s);
        const std::uint64_t next = addSaturated(first, roundUpToStripe(table.getSlbaCount(s), stripe));
        auto at = used.begin();
        while (at != used.end() && at->start < first)
            ++at;
        used.insert(at, Occupied{first, next});
    }

    // The longest gap wins; of equal gaps the lowest. A volume that reaches
    // past the next one (or past the group) leaves a gap of no length.
    std::uint64_t bestStart = 0;
    std::uint64_t bestLength = used.front().start;
    for (std::size_t k = 0; k < used.size(); ++k) {
        const std::uint64_t from = used[k].next;
        const std::uint64_t limit = k + 1 < used.size() ? used[k + 1].start : capacity;
        const std::uint64_t length = limit > from ? limit - from : 0;
        if (length > bestLength) {
            bestStart = from;
            bestLength = length;
        }
    }
    if (bestLength == 0)
        return 0;
    start = bestStart;
    end = bestStart + bestLength - 1;
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "restStartLBA=0x%016" PRIx64, start);
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "restEndLBA=0x%016" PRIx64, end);
    return 0;
}

int SMISProviderLVConfiguration::getRemainingManagedSpaceRange(std::uint16_t rlun, std::int32_t stripe,
                                                               std::uint64_t blocks, std::uint64_t& start,
                                                               std::uint64_t& end) const
{
    if (stripe <= 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Invalid StripeSize");
        return RESULT_ERROR;
    }
    if (getFreeSpaceMaxRangeInRaid(rlun, stripe, start, end) != 0)
        return -1;
    const std::uint64_t request = roundUpToStripe(blocks, static_cast<std::uint64_t>(stripe));
    const std::uint64_t length = end - start + 1;
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION,
                           "createSizeStripe=0x%016" PRIx64 " freeSpaceRange=0x%016" PRIx64, request, length);
    if (request > length) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION,
                               "Creation size is larger than the remaining capacity.");
        start = 0;
        end = 0;
    }
    return 0;
}

int SMISProviderLVConfiguration::verifyCreateLogicalVolume(std::uint16_t rlun, const String& /*name*/,
                                                           int /*diskCount*/, std::uint64_t size,
                                                           std::int32_t stripe, std::uint32_t& mib,
                                                           std::uint16_t& olun, std::uint64_t& startBlock) const
{
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "verifyCreateLogicalVolume start");
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION,
                           "raidNumber=0x%04X stripeSize=0x%08x size=0x%016" PRIx64, rlun,
                           static_cast<unsigned>(stripe), size);
    auto finish = [](int rc) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "verifyCreateLogicalVolume end");
        return rc;
    };
    if (stripe <= 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Invalid StripeSize");
        return finish(RESULT_ERROR);
    }

    VELDARO_RefTable table(_storage.c_str());
    const int r = usableGroup(table, rlun);
    if (r < 0)
        return finish(1);

    bool freeSlu = false;
    for (std::uint32_t i = 0; i < table.getSLUMaxCount() && !freeSlu; ++i)
        freeSlu = isFreeEntry(table.getSluStatus(static_cast<int>(i)));
    if (!freeSlu) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Storage has max volume");
        return finish(4);
    }
    int oluIndex = -1;
    for (std::uint32_t i = 0; i < table.getOLUperModelMaxCount() && oluIndex < 0; ++i) {
        if (isFreeEntry(table.getOluStatus(static_cast<int>(i))))
            oluIndex = static_cast<int>(i);
    }
    if (oluIndex < 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Storage has max volume");
        return finish(4);
    }
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "olu_index=0x%08x",
                           static_cast<unsigned>(oluIndex));

    const std::uint64_t m = bytesToMiB(size);
    if (m < getMinVolumeSizeMB() || m > getMaxVolumeSizeMB()) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Invalid size");
        return finish(2);
    }
    std::uint64_t first = 0, last = 0;
    if (getRemainingManagedSpaceRange(rlun, stripe, mibToBlocks(m), first, last) != 0)
        return finish(1);
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION,
                           "startRange=0x%016" PRIx64 " endRange=0x%016" PRIx64 " mbSize=0x%08x", first, last,
                           static_cast<unsigned>(m));
    // Whole MiB of the range; the length saturates for a range over all blocks.
    const std::uint64_t length = last - first == MAX64 ? MAX64 : last - first + 1;
    const std::uint64_t roomMiB = length > MAX64 / BLOCK ? MAX64 / MIB : (length * BLOCK) / MIB;
    if (m > roomMiB) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Request size too large");
        return finish(3);
    }
    if (table.getRluSluCount(r) >= getMaxVolumeCountPerRaid()) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Raid has max volume");
        return finish(5);
    }
    mib = static_cast<std::uint32_t>(m);
    olun = table.getOluOlun(oluIndex);
    startBlock = first;
    return finish(0);
}

bool SMISProviderLVConfiguration::confirmDeleteLogicalVolume(std::uint16_t rlun, std::uint16_t olun) const
{
    VELDARO_RefTable table(_storage.c_str());
    const int r = usableGroup(table, rlun);
    if (r < 0)
        return false;
    const unsigned slots = slotCount(table, r);
    for (unsigned i = 0; i < slots; ++i) {
        const std::uint16_t slun = table.getRluSlun(r, static_cast<int>(i));
        if (slun == 0xFFFF)
            continue;
        const int s = table.searchSlunFromSluTable(slun);
        if (s >= 0 && table.getSluOlun(s) == olun)
            return true;
    }
    return false;
}

bool SMISProviderLVConfiguration::IsLogicalDeviceExpansion(std::uint16_t rlun) const
{
    VELDARO_RefTable table(_storage.c_str());
    const int r = usableGroup(table, rlun);
    return r >= 0 && (table.getRluStatus(r) & 0x200) != 0;
}

int SMISProviderLVConfiguration::isSession(std::uint16_t, std::uint16_t) const
{
    return 0;
}

SMISProviderLVConfigurationImpl::~SMISProviderLVConfigurationImpl() = default;

std::uint32_t SMISProviderLVConfigurationImpl::getOLUMaxCount() const
{
    VELDARO_RefTable table(_storage.c_str());
    return table.getOLUMaxCount();
}

SMISProviderLVConfigurationFactory::~SMISProviderLVConfigurationFactory() = default;

SMISProviderLVConfiguration* SMISProviderLVConfigurationFactory::createSMISProviderLVConfiguration() const
{
    try {
        return new (std::nothrow) SMISProviderLVConfigurationImpl(_storage);
    } catch (...) {
        return nullptr;
    }
}

}  // namespace cimple
