// Thin-provisioning volume engine: room left in the array's thin capacity
// and the checks made before a thin volume is created or grown.

#include "SMISProviderTPVConfiguration.h"

#include <cinttypes>
#include <new>

#include "SMIS_TraceLog.h"
#include "VELDARO_RefTable.h"
#include "Volume_Size.h"

namespace cimple {

namespace {

using namespace volume_size;

constexpr std::uint8_t LU_TYPE_THIN = 9;
constexpr std::uint8_t LU_TYPE_THIN_CHARGED = 11;

}  // namespace

SMISProviderTPVConfiguration::SMISProviderTPVConfiguration(SMISProviderLVConfiguration* lv, const String& address)
    : _lvConfiguration(lv), _storage(address)
{
}

SMISProviderTPVConfiguration::~SMISProviderTPVConfiguration() = default;

std::uint64_t SMISProviderTPVConfiguration::freeBlocksInStorage() const
{
    VELDARO_RefTable table(_storage.c_str());
    std::uint64_t used = 0;
    for (std::uint32_t i = 0; i < table.getSLUMaxCount(); ++i) {
        const int s = static_cast<int>(i);
        if (isFreeEntry(table.getSluStatus(s)))
            continue;
        const std::uint8_t type = table.getLuType(s);
        if (type == LU_TYPE_THIN || type == LU_TYPE_THIN_CHARGED)
            used = addSaturated(used, table.getVirtualOlbaCount(s));
    }
    const std::uint64_t capacity = mibToBlocks(getMaxCapacityByModel());
    const std::uint64_t largest = mibToBlocks(getMaxVolumeSizeMB());
    const std::uint64_t unused = used < capacity ? capacity - used : 0;
    return unused < largest ? unused : largest;
}

int SMISProviderTPVConfiguration::getFreeSpaceMaxRangeInStorage(std::uint64_t& start, std::uint64_t& end) const
{
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "getFreeSpaceMaxRangeInStorage start");
    const std::uint64_t room = freeBlocksInStorage();
    start = 0;
    end = room == 0 ? 0 : room - 1;
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "getFreeSpaceMaxRangeInStorage end");
    return 0;
}

int SMISProviderTPVConfiguration::getRemainingManagedSpaceRange(std::uint64_t blocks, std::uint64_t& start,
                                                                std::uint64_t& end) const
{
    // Compared with the room itself: the range [0, 0] of no room would
    // otherwise read as one free block.
    const std::uint64_t room = freeBlocksInStorage();
    start = 0;
    end = room == 0 ? 0 : room - 1;
    if (blocks > room || room == 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION,
                               "Request size is larger than the remaining capacity");
        end = 0;
    }
    return 0;
}

int SMISProviderTPVConfiguration::verifyCreateLogicalVolume(std::uint16_t /*pool*/, std::uint64_t size,
                                                            std::uint64_t& mib, std::uint16_t& olun) const
{
    VELDARO_RefTable table(_storage.c_str());
    bool freeSlu = false;
    for (std::uint32_t i = 0; i < table.getSLUMaxCount() && !freeSlu; ++i)
        freeSlu = isFreeEntry(table.getSluStatus(static_cast<int>(i)));
    int oluIndex = -1;
    for (std::uint32_t i = 0; freeSlu && i < table.getOLUperModelMaxCount() && oluIndex < 0; ++i) {
        if (isFreeEntry(table.getOluStatus(static_cast<int>(i))))
            oluIndex = static_cast<int>(i);
    }
    if (oluIndex < 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Maximum volume per storage has been created");
        return 3;
    }
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "olu_index=%d", oluIndex);
    const std::uint64_t m = bytesToMiB(size);
    if (m < getMinVolumeSizeMB() || m > getMaxVolumeSizeMB()) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "The volume size is invalid");
        return 1;
    }
    std::uint64_t first = 0, last = 0;
    getRemainingManagedSpaceRange(mibToBlocks(m), first, last);
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION,
                           "startRange=0x%" PRIx64 " endRange=0x%" PRIx64 " mbSize=0x%" PRId64, first, last,
                           static_cast<std::int64_t>(m));
    if (last == first) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "The volume size is too large");
        return 2;
    }
    mib = m;
    olun = table.getOluOlun(oluIndex);
    return 0;
}

int SMISProviderTPVConfiguration::verifyModifyLogicalVolume(std::uint16_t olun, std::uint64_t size,
                                                            std::uint64_t& mib) const
{
    VELDARO_RefTable table(_storage.c_str());
    const int o = table.searchOlunFromOluTable(olun);
    if (o < 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "The volume not exist");
        return 4;
    }
    const int s = table.searchSlunFromSluTable(table.getOluSlun(o, 0));
    if (s < 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Failed to search SLUN");
        return 4;
    }
    if (table.getLuType(s) != LU_TYPE_THIN) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "The volume type is not thin provisioning");
        return 5;
    }
    const std::uint64_t m = bytesToMiB(size);
    const std::uint64_t current = blocksToMiB(table.getVirtualOlbaCount(s));
    if (m < getMinExpandSizeMB() || m > getMaxVolumeSizeMB()) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "The volume size is invalid");
        return 1;
    }
    if (m <= current) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "The volume size is smaller than current size");
        return 6;
    }
    std::uint64_t first = 0, last = 0;
    getRemainingManagedSpaceRange(mibToBlocks(m - current), first, last);
    if (last == first) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "The volume size is too large");
        return 2;
    }
    mib = m;
    return 0;
}

SMISProviderTPVConfigurationImpl::~SMISProviderTPVConfigurationImpl()
{
    delete _lvConfiguration;
    _lvConfiguration = nullptr;
}

std::uint32_t SMISProviderTPVConfigurationImpl::getVolumeSizeUnit() const
{
    return _lvConfiguration ? _lvConfiguration->getVolumeSizeUnit() : 1;
}

std::uint32_t SMISProviderTPVConfigurationImpl::getMinVolumeSizeMB() const
{
    return _lvConfiguration ? _lvConfiguration->getMinVolumeSizeMB() : 24;
}

std::uint32_t SMISProviderTPVConfigurationImpl::getMaxVolumeSizeMB() const
{
    return _lvConfiguration ? _lvConfiguration->getMaxVolumeSizeMB() : 0x8000000;
}

std::uint32_t SMISProviderTPVConfigurationImpl::getOLUMaxCount() const
{
    return _lvConfiguration ? _lvConfiguration->getOLUMaxCount() : 0;
}

std::uint64_t SMISProviderTPVConfigurationImpl::capacityTiBOfModel(std::uint8_t modelType)
{
    switch (modelType) {
    case 145: case 146: return 128;
    case 161: return 384;
    case 177: return 768;
    case 193: return 1024;
    default: return 0;
    }
}

std::uint64_t SMISProviderTPVConfigurationImpl::getMaxCapacityByModel() const
{
    VELDARO_RefTable table(_storage.c_str());
    return capacityTiBOfModel(table.getSysModelTypeFull()) * 0x100000;
}

SMISProviderTPVConfigurationFactory::~SMISProviderTPVConfigurationFactory() = default;

SMISProviderTPVConfiguration* SMISProviderTPVConfigurationFactory::createSMISProviderTPVConfiguration() const
{
    try {
        SMISProviderLVConfiguration* lv = SMISProviderLVConfigurationFactory(_storage).createSMISProviderLVConfiguration();
        if (!lv)
            return nullptr;
        SMISProviderTPVConfiguration* tpv = new (std::nothrow) SMISProviderTPVConfigurationImpl(lv, _storage);
        if (!tpv)
            delete lv;
        return tpv;
    } catch (...) {
        return nullptr;
    }
}

}  // namespace cimple
