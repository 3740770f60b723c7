// One thin-provisioning pool with its capacity from the status table and
// its usage alarm.

#include "VELDARO_ThinProvisioningPool_Resource.h"

#include <cstdio>
#include <cstdlib>

#include "Instance_Provider_Frame.h"
#include "Pool_Capacity.h"
#include "RefTable_Text.h"
#include "SMIS_CMTAccess.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"
#include "Key_Pattern.h"

namespace cimple {

int VELDARO_ThinProvisioningPool_Resource::createInstance(VELDARO_ThinProvisioningPool*& instance, int tppIndex)
{
    instance = nullptr;
    VELDARO_ThinProvisioningPool* made = nullptr;
    try {
        if (tppIndex < 0 || tppIndex >= TPP_TABLE_SIZE)
            return 0;
        VELDARO_RefTable table(_storage.c_str());
        if (table.getTppMemDiskCnt(tppIndex) == 0 || table.isLayerixSubPool(tppIndex))
            return 0;  // unused entry, or a tiering sub-pool
        const std::uint8_t level = table.getTppRaidLevel(tppIndex);
        const std::uint16_t pool = table.getTppPoolNumber(tppIndex);
        int status = 0;
        if (table.getTppSMISStatus(tppIndex, &status) != 0) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        if (!SMIS_CMTAccess::getInstance())
            return 1;

        // Capacity from the pool's status record; without one the pool
        // table's maximum size stands for both.
        std::uint64_t total = table.getTppMaxPoolLbaCount(tppIndex);
        std::uint64_t used = total;
        long count = 0;
        std::uint8_t* records = Pool_Capacity::readRecords(_storage, count);
        Pool_Capacity::Record record;
        if (Pool_Capacity::findRecord(records, count, pool, record)) {
            total = Pool_Capacity::blocksOfMiB(record.totalMiB);
            used = Pool_Capacity::blocksOfMiB(record.usedMiB);
        }
        std::free(records);

        RefTable_Text name(table.getTppPoolName(tppIndex));
        made = Instance_Provider_Frame::newInstance<VELDARO_ThinProvisioningPool>();
        setThinProvisioningPool(made, level, pool, status, total, used, name.c_str(), table.getTppThreshold_Y(tppIndex),
                                table.getTppThreshold_R(tppIndex));
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

String VELDARO_ThinProvisioningPool_Resource::instanceID(std::uint16_t number) const
{
    char buf[128];
    std::snprintf(buf, sizeof buf, "VELDARO:TPP%04d_%s", number, _storage.c_str());
    return String(buf);
}

VELDARO_ThinProvisioningPool* VELDARO_ThinProvisioningPool_Resource::keyInstance(std::uint16_t number) const
{
    return Instance_Provider_Frame::keyedByInstanceID<VELDARO_ThinProvisioningPool>(instanceID(number));
}

int VELDARO_ThinProvisioningPool_Resource::setThinProvisioningPool(VELDARO_ThinProvisioningPool* instance,
                                                                   std::uint8_t raidLevel, std::uint16_t pool,
                                                                   int status, std::uint64_t totalBlocks,
                                                                   std::uint64_t usedBlocks, const char* name,
                                                                   std::uint16_t attention, std::uint16_t warning)
{
    const String level = VELDARO_ValueConv::convRaidLevelToString(raidLevel);
    char buf[128];
    instance->InstanceID.set(instanceID(pool));
    instance->Caption.set("Thin Provisioning Pool");
    instance->Description.set("Thin Provisioning Pool");
    instance->ElementName.set(name ? name : "");
    std::snprintf(buf, sizeof buf, "TPP%04d(%s)", pool, level.c_str());
    instance->Name.set(buf);
    instance->PoolID.set(buf);
    Array<uint16> operational;
    operational.append(static_cast<uint16>(status));
    instance->OperationalStatus.set(operational);
    instance->Status.set(VELDARO_ValueConv::convOperationalStatusToStatus(status));
    instance->Primordial.set(false);
    instance->TotalManagedSpace.set(Pool_Capacity::bytesOf(totalBlocks));
    instance->RemainingManagedSpace.set(Pool_Capacity::bytesOf(Pool_Capacity::remaining(totalBlocks, usedBlocks)));
    instance->Usage.set(2);
    instance->SpaceLimit.set(Pool_Capacity::THIN_SPACE_LIMIT);
    instance->SpaceLimitDetermination.set(3);
    instance->RaidLevel.set(level);
    instance->AlarmStatus.set(
        Pool_Capacity::alarmStatus(Pool_Capacity::usagePercent(usedBlocks, totalBlocks), attention, warning));
    instance->AttentionLevelRange.set(attention);
    instance->WarningLevelRange.set(warning);
    return 0;
}

bool VELDARO_ThinProvisioningPool_Resource::divide_InstanceID(const char* key, std::uint16_t* pool)
{
    if (!key || !*key || !pool)
        return false;
    unsigned number = 0;
    if (!Key_Pattern::read(key, "VELDARO:TPP%4d", Key_Pattern::ADDRESS, {&number}))
        return false;
    *pool = static_cast<std::uint16_t>(number);
    return true;
}

}  // namespace cimple
