// One snapshot data pool volume as a pool of its own.

#include "VELDARO_SDPVPool_Resource.h"

#include <cstdio>

#include "Instance_Provider_Frame.h"
#include "Pool_Capacity.h"
#include "RefTable_Text.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

int VELDARO_SDPVPool_Resource::createInstance(VELDARO_SDPVPool*& instance, int sluIndex)
{
    instance = nullptr;
    VELDARO_SDPVPool* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        if (sluIndex < 0 || static_cast<std::uint32_t>(sluIndex) >= table.getSLUMaxCount())
            return 1;
        if ((table.getSluStatus(sluIndex) & 0xFF) == 6 || table.getLuType(sluIndex) != LU_TYPE_SDPV)
            return 0;  // free entry, or another kind of volume
        const std::uint16_t olun = table.getSluOlun(sluIndex);
        const int oluIndex = table.searchOlunFromOluTable(olun);
        if (oluIndex < 0)
            return 0;  // the pool volume's entry is missing
        int status = 0;
        if (table.getOluSMISStatus(oluIndex, &status) != 0) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        RefTable_Text name(table.getOLUName(oluIndex));
        made = Instance_Provider_Frame::newInstance<VELDARO_SDPVPool>();
        setSDPVPool(made, table.getSluRlun(sluIndex), olun, status, table.getSlbaCount(sluIndex),
                    table.getSluSDPID(sluIndex), name.c_str());
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

int VELDARO_SDPVPool_Resource::setSDPVPool(VELDARO_SDPVPool* instance, std::uint16_t rlun, std::uint16_t olun,
                                           int status, std::uint64_t blocks, unsigned sdpId, const char* name)
{
    char buf[128];
    std::snprintf(buf, sizeof buf, "VELDARO:SDPVP%05d_%s", olun, _storage.c_str());
    instance->InstanceID.set(buf);
    instance->Caption.set("SDPV Pool");
    instance->Description.set("SDPV Pool");
    instance->ElementName.set(name ? name : "");
    std::snprintf(buf, sizeof buf, "SDPV%05d(SDP%02u)", olun, sdpId);
    instance->Name.set(buf);
    instance->PoolID.set(buf);
    Array<uint16> operational;
    operational.append(static_cast<uint16>(status));
    instance->OperationalStatus.set(operational);
    instance->Status.set(VELDARO_ValueConv::convOperationalStatusToStatus(status));
    instance->Primordial.set(false);
    instance->TotalManagedSpace.set(Pool_Capacity::bytesOf(blocks));
    instance->RemainingManagedSpace.set(0);
    instance->RLUN.set(rlun);
    instance->SDPID.set(sdpId);
    return 0;
}

bool VELDARO_SDPVPool_Resource::divide_InstanceID(const char* key, std::uint16_t* olun)
{
    if (!key || !*key || !olun)
        return false;
    int number = 0;
    if (std::sscanf(key, "VELDARO:SDPVP%05d", &number) != 1)
        return false;
    *olun = static_cast<std::uint16_t>(number);
    return true;
}

}  // namespace cimple
