// One tiering pool: the capacity of its sub-pools and its usage alarm.

#include "VELDARO_LayerixPool_Resource.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "Instance_Provider_Frame.h"
#include "Pool_Capacity.h"
#include "RefTable_Text.h"
#include "SMIS_CMTAccess.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

namespace {

constexpr std::uint64_t ALL_ONES = ~std::uint64_t{0};

}  // namespace

bool VELDARO_LayerixPool_Resource::_getLxrpPoolLbaCount(int lxrpIndex, std::uint64_t* totalBlocks,
                                                       std::uint64_t* usedBlocks)
{
    *totalBlocks = ALL_ONES;
    *usedBlocks = ALL_ONES;
    if (!SMIS_CMTAccess::getInstance())
        return false;
    long count = 0;
    std::unique_ptr<std::uint8_t, decltype(&std::free)> records(Pool_Capacity::readRecords(_storage, count),
                                                                 &std::free);
    if (!records)
        return true;
    VELDARO_RefTable table(_storage.c_str());
    // The entry has SUB_POOL_SLOTS slots; a larger count names none beyond them.
    int slots = table.getLxrpSubPoolCnt(lxrpIndex);
    if (slots > SUB_POOL_SLOTS)
        slots = SUB_POOL_SLOTS;
    std::uint64_t totalMiB = 0, usedMiB = 0;
    for (int i = 0; i < slots; ++i) {
        Pool_Capacity::Record record;
        if (!Pool_Capacity::findRecord(records.get(), count, table.getLxrpSubPoolNumber(lxrpIndex, i), record))
            return true;  // a sub-pool without a record: the pool's size is unknown
        totalMiB += record.totalMiB;
        usedMiB += record.usedMiB;
    }
    *totalBlocks = Pool_Capacity::blocksOfMiB(totalMiB);
    *usedBlocks = Pool_Capacity::blocksOfMiB(usedMiB);
    return true;
}

int VELDARO_LayerixPool_Resource::createInstance(VELDARO_LayerixPool*& instance, int lxrpIndex)
{
    instance = nullptr;
    VELDARO_LayerixPool* made = nullptr;
    try {
        if (lxrpIndex < 0 || lxrpIndex >= LXRP_TABLE_SIZE)
            return 0;
        VELDARO_RefTable table(_storage.c_str());
        if (table.getLxrpValidFlag(lxrpIndex) == 0)
            return 0;
        const std::uint16_t pool = table.getLxrpPoolNumber(lxrpIndex);
        int status = 0;
        if (table.getLxrpSMISStatus(lxrpIndex, &status) != 0) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        std::uint64_t total = 0, used = 0;
        if (!_getLxrpPoolLbaCount(lxrpIndex, &total, &used))
            return 0;
        if (total == ALL_ONES || used == ALL_ONES)
            total = used = 0;

        RefTable_Text name(table.getLxrpPoolName(lxrpIndex));
        made = Instance_Provider_Frame::newInstance<VELDARO_LayerixPool>();
        if (setLayerixPool(made, pool, status, total, used, name.c_str(), table.getLxrpThreshold_Y(lxrpIndex),
                           table.getLxrpThreshold_R(lxrpIndex)) != 0) {
            destroy(made);
            return 1;
        }
        instance = made;
        return 0;
    } catch (...) {
        if (made)
            destroy(made);
        instance = nullptr;
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

int VELDARO_LayerixPool_Resource::setLayerixPool(VELDARO_LayerixPool* instance, std::uint16_t pool, int status,
                                                 std::uint64_t totalBlocks, std::uint64_t usedBlocks,
                                                 const char* name, std::uint16_t thresholdY, std::uint16_t thresholdR)
{
    try {
        char buf[128];
        std::snprintf(buf, sizeof buf, "VELDARO:LXP%04d_%s", pool, _storage.c_str());
        instance->InstanceID.set(buf);
        instance->Caption.set("Layerix Pool");
        instance->Description.set("Layerix Pool");
        instance->ElementName.set(name ? name : "");
        std::snprintf(buf, sizeof buf, "Layerix Pool%04d", pool);
        instance->Name.set(buf);
        std::snprintf(buf, sizeof buf, "LXP%04d", pool);
        instance->PoolID.set(buf);
        Array<uint16> operational;
        operational.append(static_cast<uint16>(status));
        instance->OperationalStatus.set(operational);
        instance->Status.set(VELDARO_ValueConv::convOperationalStatusToStatus(status));
        instance->Primordial.set(false);
        instance->TotalManagedSpace.set(Pool_Capacity::bytesOf(totalBlocks));
        instance->RemainingManagedSpace.set(Pool_Capacity::bytesOf(Pool_Capacity::remaining(totalBlocks, usedBlocks)));
        instance->Usage.set(3);
        instance->SpaceLimit.set(Pool_Capacity::THIN_SPACE_LIMIT);
        instance->SpaceLimitDetermination.set(3);
        instance->AlarmStatus.set(
            Pool_Capacity::alarmStatus(Pool_Capacity::usagePercent(usedBlocks, totalBlocks), thresholdY, thresholdR));
        instance->AttentionLevelRange.set(thresholdY);
        instance->WarningLevelRange.set(thresholdR);
        return 0;
    } catch (...) {
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

bool VELDARO_LayerixPool_Resource::divide_InstanceID(const char* key, std::uint16_t* pool)
{
    if (!key || !*key || !pool)
        return false;
    int number = 0;
    if (std::sscanf(key, "VELDARO:LXP%04d", &number) != 1)
        return false;
    *pool = static_cast<std::uint16_t>(number);
    return true;
}

}  // namespace cimple
