#include "TAVO_SMISProviderRAIDGroupConfiguration.h"

#include "Pool_Command_Result.h"
#include "Pool_Disk_Rules.h"
#include "Pool_Log.h"
#include "SMIS_CLI.h"
#include "VELDARO_RefTable.h"

namespace cimple {

namespace {

// Member disk counts of a RAID group per level.
const SMISProviderPoolConfiguration::Level_Limit LEVELS[] = {
    {"0", 2, 16}, {"1", 2, 2}, {"1+0", 4, 32}, {"5", 3, 16}, {"6", 5, 16}, {"5+0", 6, 32}};

Array<std::uint16_t> counts(std::initializer_list<std::uint16_t> list)
{
    Array<std::uint16_t> out;
    for (std::uint16_t c : list)
        out.append(c);
    return out;
}

}  // namespace

std::uint32_t TAVO_SMISProviderRAIDGroupConfiguration::deleteRLU(const Array<std::uint16_t>& rluns)
{
    if (rluns.size() == 0) {
        POOL_WARNING("rluNumber is not specified");
        return INVALID_PARAMETER;
    }
    return Pool_Command_Result::run(Pool_Command_Result::DELETE_RLU, _storage, [&](SMIS_CLI& cli) {
        return cli.deleteRLU(rluns.data(), static_cast<unsigned>(rluns.size()));
    });
}

std::uint32_t TAVO_SMISProviderRAIDGroupConfiguration::checkDeleteStoragePool(const Array<std::uint16_t>& rluns)
{
    if (rluns.size() == 0) {
        POOL_WARNING("rluNumber is not specified");
        return INVALID_PARAMETER;
    }
    VELDARO_RefTable table(_storage.c_str());
    for (std::size_t i = 0; i < rluns.size(); ++i) {
        const int r = table.searchRlunFromRluTable(rluns[i]);
        if (r < 0) {
            POOL_WARNING("Data does not exist in RLU information");
            return INVALID_PARAMETER;
        }
        if (table.getRluSluCount(r) != 0) {
            POOL_WARNING("The RAID goup is in busy state");
            return BUSY;
        }
    }
    return SUCCESS;
}

std::uint32_t TAVO_SMISProviderRAIDGroupConfiguration::addRLU(const CMM_REG_RLU_INFO* info, std::uint32_t count)
{
    if (!info || count == 0) {
        POOL_WARNING("A parameter has an error");
        return INVALID_PARAMETER;
    }
    return Pool_Command_Result::run(Pool_Command_Result::ADD_RLU, _storage,
                                    [&](SMIS_CLI& cli) { return cli.addRLU(info); });
}

std::uint16_t TAVO_SMISProviderRAIDGroupConfiguration::getMaxRLUCount()
{
    VELDARO_RefTable table(_storage.c_str());
    const std::uint32_t max = table.getRLUMaxCount();
    return static_cast<std::uint16_t>(max > NO_NUMBER ? NO_NUMBER : max);
}

void TAVO_SMISProviderRAIDGroupConfiguration::getSupportedRAIDLevelList(Array<String>& levels)
{
    getDefaultRAIDLevelList(levels);
    levels.append(String("0"));
    levels.append(String("5+0"));
}

int TAVO_SMISProviderRAIDGroupConfiguration::getMinSetDisk(const String& level)
{
    return limitOf(LEVELS, level, false);
}

int TAVO_SMISProviderRAIDGroupConfiguration::getMaxSetDisk(const String& level)
{
    return limitOf(LEVELS, level, true);
}

void TAVO_SMISProviderRAIDGroupConfiguration::getApprovalDiskCountLevel0P1(Array<std::uint16_t>& out)
{
    out = counts({10, 8});
}

void TAVO_SMISProviderRAIDGroupConfiguration::getApprovalDiskCountLevel5(Array<std::uint16_t>& out)
{
    out = counts({8, 4});
}

std::uint32_t TAVO_SMISProviderRAIDGroupConfiguration::findAvailableExtentLevel1(SMISProviderDiskManager* dm,
                                                                                 Array<std::uint16_t>& plus)
{
    if (dm)
        Pool_Disk_Rules::findAvailableExtentCom(*dm, 2, 2, plus);
    return SUCCESS;
}

std::uint32_t TAVO_SMISProviderRAIDGroupConfiguration::findAvailableExtentLevel0P1(SMISProviderDiskManager* dm,
                                                                                   Array<std::uint16_t>& plus)
{
    return findAvailableWhenSized(LEVEL_1P0, dm, 4, 2, plus);
}

std::uint32_t TAVO_SMISProviderRAIDGroupConfiguration::findAvailableExtentLevel5(SMISProviderDiskManager* dm,
                                                                                 Array<std::uint16_t>& plus)
{
    return findAvailableWhenSized(LEVEL_5, dm, 3, 3, plus);
}

std::uint32_t TAVO_SMISProviderRAIDGroupConfiguration::findAvailableExtentLevel0P5(SMISProviderDiskManager* dm,
                                                                                   Array<std::uint16_t>& plus)
{
    return findAvailableWhenSized(LEVEL_5P0, dm, 6, 3, plus);
}

std::uint32_t TAVO_SMISProviderRAIDGroupConfiguration::findAvailableExtentLevel6(SMISProviderDiskManager* dm,
                                                                                 Array<std::uint16_t>& plus)
{
    return findAvailableWhenSized(LEVEL_6, dm, 5, 3, plus);
}

std::uint32_t TAVO_SMISProviderRAIDGroupConfiguration::getApprovalPatternLevel0P5(SMISProviderDiskManager* dm,
                                                                                  Array<std::uint16_t>& plus)
{
    approvalOverCounts(dm, counts({16, 8}), LEVEL_5P0, plus);
    return SUCCESS;
}

std::uint32_t TAVO_SMISProviderRAIDGroupConfiguration::getApprovalPatternLevel6(SMISProviderDiskManager* dm,
                                                                                Array<std::uint16_t>& plus)
{
    approvalOverCounts(dm, counts({16, 8}), LEVEL_6, plus);
    return SUCCESS;
}

std::uint32_t TAVO_SMISProviderRAIDGroupConfiguration::getSupportedSizeLevel1(SMISProviderDiskManager* dm,
                                                                              Array<uint64>& sizes)
{
    sizes.clear();
    if (dm)
        Pool_Disk_Rules::sizesMirror(*dm, sizes);
    return SUCCESS;
}

std::uint32_t TAVO_SMISProviderRAIDGroupConfiguration::getSupportedSizeLevel0P1(SMISProviderDiskManager* dm,
                                                                                Array<uint64>& sizes)
{
    sizes.clear();
    if (dm)
        Pool_Disk_Rules::sizesStripedMirror(*dm, sizes);
    return SUCCESS;
}

std::uint32_t TAVO_SMISProviderRAIDGroupConfiguration::getSupportedSizeLevel5(SMISProviderDiskManager* dm,
                                                                              Array<uint64>& sizes)
{
    sizes.clear();
    if (dm)
        Pool_Disk_Rules::sizesParity(*dm, 3, 16, 1, 1, false, sizes);
    return SUCCESS;
}

std::uint32_t TAVO_SMISProviderRAIDGroupConfiguration::getSupportedSizeLevel0P5(SMISProviderDiskManager* dm,
                                                                                Array<uint64>& sizes)
{
    sizes.clear();
    if (dm)
        Pool_Disk_Rules::sizesParity(*dm, 6, 32, 2, 2, true, sizes);
    return SUCCESS;
}

std::uint32_t TAVO_SMISProviderRAIDGroupConfiguration::getSupportedSizeLevel6(SMISProviderDiskManager* dm,
                                                                              Array<uint64>& sizes)
{
    sizes.clear();
    if (dm)
        Pool_Disk_Rules::sizesParity(*dm, 5, 16, 2, 2, false, sizes);
    return SUCCESS;
}

bool TAVO_SMISProviderRAIDGroupConfiguration::useDiskCount(Level level, std::uint64_t q, std::uint32_t& count)
{
    if (level != LEVEL_6)
        return SMISProviderRAIDGroupConfiguration::useDiskCount(level, q, count);
    Array<std::uint16_t> allowed;
    for (std::uint16_t n = 5; n <= 16; ++n)
        allowed.append(n);
    count = Pool_Disk_Rules::calcUsedDiskNumber(q, false, 2, allowed);
    return true;
}

}  // namespace cimple
