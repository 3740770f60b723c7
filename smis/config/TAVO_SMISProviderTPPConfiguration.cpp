#include "TAVO_SMISProviderTPPConfiguration.h"

#include "Pool_Command_Result.h"
#include "Pool_Disk_Rules.h"
#include "Pool_Log.h"
#include "SMIS_CLI.h"

namespace cimple {

namespace {

// Member disk counts of a thin pool per level.
const SMISProviderPoolConfiguration::Level_Limit LEVELS[] = {
    {"0", 4, 4}, {"1", 2, 2}, {"1+0", 4, 24}, {"5", 4, 13}, {"6", 6, 10}};

}  // namespace

std::uint32_t TAVO_SMISProviderTPPConfiguration::deleteTPP(const Array<std::uint16_t>& pools)
{
    if (pools.size() == 0) {
        POOL_WARNING("poolNumber is not specified");
        return INVALID_PARAMETER;
    }
    return Pool_Command_Result::run(Pool_Command_Result::DELETE_TPP, _storage, [&](SMIS_CLI& cli) {
        return cli.deleteThinproPool(pools.data(), static_cast<unsigned>(pools.size()));
    });
}

std::uint32_t TAVO_SMISProviderTPPConfiguration::createTPP(SMIS_REG_TPP_INFO* info)
{
    return Pool_Command_Result::run(Pool_Command_Result::CREATE_TPP, _storage,
                                    [&](SMIS_CLI& cli) { return cli.createThinproPool(info); });
}

std::uint32_t TAVO_SMISProviderTPPConfiguration::expandTPP(const SMIS_REG_TPP_INFO* info)
{
    return Pool_Command_Result::run(Pool_Command_Result::EXPAND_TPP, _storage,
                                    [&](SMIS_CLI& cli) { return cli.expandThinproPool(info); });
}

void TAVO_SMISProviderTPPConfiguration::getSupportedRAIDLevelList(Array<String>& levels)
{
    getDefaultRAIDLevelList(levels);
    levels.append(String("0"));
}

int TAVO_SMISProviderTPPConfiguration::getMinSetDisk(const String& level)
{
    return limitOf(LEVELS, level, false);
}

int TAVO_SMISProviderTPPConfiguration::getMaxSetDisk(const String& level)
{
    return limitOf(LEVELS, level, true);
}

void TAVO_SMISProviderTPPConfiguration::getApprovalDiskCountLevel0P1(Array<std::uint16_t>& counts)
{
    counts = memberCountsOr({8, 4});
}

void TAVO_SMISProviderTPPConfiguration::getApprovalDiskCountLevel5(Array<std::uint16_t>& counts)
{
    counts = memberCountsOr({8, 4});
}

void TAVO_SMISProviderTPPConfiguration::getApprovalDiskCountLevel6(Array<std::uint16_t>& counts)
{
    counts = memberCountsOr({8});
}

Array<std::uint16_t> TAVO_SMISProviderTPPConfiguration::allowedCounts(Level level) const
{
    switch (level) {
    case LEVEL_1P0: return memberCountsOr({4, 8, 16, 24});
    case LEVEL_5: return memberCountsOr({4, 5, 8, 9, 13});
    case LEVEL_6: return memberCountsOr({6, 8, 10});
    default: return Array<std::uint16_t>();
    }
}

std::uint32_t TAVO_SMISProviderTPPConfiguration::findAvailableExtentLevel1(SMISProviderDiskManager* dm,
                                                                           Array<std::uint16_t>& plus)
{
    if (dm)
        Pool_Disk_Rules::findAvailableExtentCom(*dm, 2, 2, plus);
    return SUCCESS;
}

std::uint32_t TAVO_SMISProviderTPPConfiguration::findAvailableExtentLevel0P1(SMISProviderDiskManager* dm,
                                                                             Array<std::uint16_t>& plus)
{
    return findAvailableWhenSized(LEVEL_1P0, dm, _memberDiskCount ? _memberDiskCount : 4, 2, plus);
}

std::uint32_t TAVO_SMISProviderTPPConfiguration::findAvailableExtentLevel5(SMISProviderDiskManager* dm,
                                                                           Array<std::uint16_t>& plus)
{
    const std::uint64_t d = _memberDiskCount ? _memberDiskCount : 4;
    return findAvailableWhenSized(LEVEL_5, dm, d, d, plus);
}

std::uint32_t TAVO_SMISProviderTPPConfiguration::findAvailableExtentLevel6(SMISProviderDiskManager* dm,
                                                                           Array<std::uint16_t>& plus)
{
    const std::uint64_t d = _memberDiskCount ? _memberDiskCount : 6;
    return findAvailableWhenSized(LEVEL_6, dm, d, d / 2, plus);
}

std::uint32_t TAVO_SMISProviderTPPConfiguration::getApprovalPatternLevel6(SMISProviderDiskManager* dm,
                                                                          Array<std::uint16_t>& plus)
{
    Array<std::uint16_t> counts;
    getApprovalDiskCountLevel6(counts);
    return approvalOverCounts(dm, counts, LEVEL_6, plus);
}

std::uint32_t TAVO_SMISProviderTPPConfiguration::getSupportedSizeLevel1(SMISProviderDiskManager* dm,
                                                                        Array<uint64>& sizes)
{
    sizes.clear();
    if (dm)
        Pool_Disk_Rules::sizesMirror(*dm, sizes);
    return SUCCESS;
}

std::uint32_t TAVO_SMISProviderTPPConfiguration::getSupportedSizeLevel0P1(SMISProviderDiskManager* dm,
                                                                          Array<uint64>& sizes)
{
    sizes.clear();
    if (dm)
        Pool_Disk_Rules::sizesAllowedCounts(*dm, allowedCounts(LEVEL_1P0), 4, 0, 0, true, sizes);
    return SUCCESS;
}

std::uint32_t TAVO_SMISProviderTPPConfiguration::getSupportedSizeLevel5(SMISProviderDiskManager* dm,
                                                                        Array<uint64>& sizes)
{
    sizes.clear();
    if (dm)
        Pool_Disk_Rules::sizesAllowedCounts(*dm, allowedCounts(LEVEL_5), 4, 1, 1, false, sizes);
    return SUCCESS;
}

std::uint32_t TAVO_SMISProviderTPPConfiguration::getSupportedSizeLevel6(SMISProviderDiskManager* dm,
                                                                        Array<uint64>& sizes)
{
    sizes.clear();
    if (dm)
        Pool_Disk_Rules::sizesAllowedCounts(*dm, allowedCounts(LEVEL_6), 6, 2, 2, false, sizes);
    return SUCCESS;
}

std::uint32_t TAVO_SMISProviderTPPConfiguration::getUseDiskNumberLevel0P1(std::uint64_t q)
{
    return Pool_Disk_Rules::calcUsedDiskNumber(q, true, 0, allowedCounts(LEVEL_1P0));
}

std::uint32_t TAVO_SMISProviderTPPConfiguration::getUseDiskNumberLevel5(std::uint64_t q)
{
    return Pool_Disk_Rules::calcUsedDiskNumber(q, false, 1, allowedCounts(LEVEL_5));
}

std::uint32_t TAVO_SMISProviderTPPConfiguration::getUseDiskNumberLevel6(std::uint64_t q)
{
    return Pool_Disk_Rules::calcUsedDiskNumber(q, false, 2, allowedCounts(LEVEL_6));
}

bool TAVO_SMISProviderTPPConfiguration::useDiskCount(Level level, std::uint64_t q, std::uint32_t& count)
{
    switch (level) {
    case LEVEL_1P0: count = getUseDiskNumberLevel0P1(q); return true;
    case LEVEL_5: count = getUseDiskNumberLevel5(q); return true;
    case LEVEL_6: count = getUseDiskNumberLevel6(q); return true;
    default: return false;
    }
}

}  // namespace cimple
