// One tiering sub-pool: a thin-provisioning pool of one RAID level inside a
// tiering pool.

#include "VELDARO_LayerixSubPool_Resource.h"

#include <cstdio>

#include "Instance_Provider_Frame.h"
#include "Pool_Capacity.h"
#include "RefTable_Text.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

int VELDARO_LayerixSubPool_Resource::createInstance(VELDARO_LayerixSubPool*& instance, int tppIndex)
{
    instance = nullptr;
    VELDARO_LayerixSubPool* made = nullptr;
    try {
        if (tppIndex < 0 || tppIndex >= TPP_TABLE_SIZE)
            return 0;
        VELDARO_RefTable table(_storage.c_str());
        if (table.getTppMemDiskCnt(tppIndex) == 0 || !table.isLayerixSubPool(tppIndex))
            return 0;
        const std::uint8_t level = table.getTppRaidLevel(tppIndex);
        const std::uint16_t pool = table.getTppPoolNumber(tppIndex);
        int status = 0;
        if (table.getTppSMISStatus(tppIndex, &status) != 0) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        RefTable_Text name(table.getTppPoolName(tppIndex));
        made = Instance_Provider_Frame::newInstance<VELDARO_LayerixSubPool>();
        if (setLayerixSubPool(made, level, pool, status, table.getTppMaxPoolLbaCount(tppIndex), name.c_str()) != 0) {
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

int VELDARO_LayerixSubPool_Resource::setLayerixSubPool(VELDARO_LayerixSubPool* instance, std::uint8_t raidLevel,
                                                       std::uint16_t pool, int status, std::uint64_t totalBlocks,
                                                       const char* name)
{
    try {
        const String level = VELDARO_ValueConv::convRaidLevelToString(raidLevel);
        char buf[128];
        std::snprintf(buf, sizeof buf, "VELDARO:LXSP%04d_%s", pool, _storage.c_str());
        instance->InstanceID.set(buf);
        instance->Caption.set("Layerix Sub Pool");
        instance->Description.set("Layerix Sub Pool");
        instance->ElementName.set(name ? name : "");
        std::snprintf(buf, sizeof buf, "Layerix Sub Pool%04d(%s)", pool, level.c_str());
        instance->Name.set(buf);
        std::snprintf(buf, sizeof buf, "LXSP%04d(%s)", pool, level.c_str());
        instance->PoolID.set(buf);
        Array<uint16> operational;
        operational.append(static_cast<uint16>(status));
        instance->OperationalStatus.set(operational);
        instance->Status.set(VELDARO_ValueConv::convOperationalStatusToStatus(status));
        instance->Primordial.set(false);
        instance->TotalManagedSpace.set(Pool_Capacity::bytesOf(totalBlocks));
        instance->RemainingManagedSpace.set(0);
        instance->Usage.set(3);
        instance->SpaceLimit.set(0);
        instance->SpaceLimitDetermination.set(3);
        instance->RaidLevel.set(level);
        return 0;
    } catch (...) {
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

bool VELDARO_LayerixSubPool_Resource::divide_InstanceID(const char* key, std::uint16_t* pool)
{
    if (!key || !*key || !pool)
        return false;
    int number = 0;
    if (std::sscanf(key, "VELDARO:LXSP%04d", &number) != 1)
        return false;
    *pool = static_cast<std::uint16_t>(number);
    return true;
}

}  // namespace cimple
