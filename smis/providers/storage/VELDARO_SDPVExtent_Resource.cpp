// One snap data pool volume slice (an SLU of LU type 7) as a storage extent.

#include "VELDARO_SDPVExtent_Resource.h"

#include <cstdio>

#include "Extent_Common.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

int VELDARO_SDPVExtent_Resource::createInstance(VELDARO_SDPVExtent*& instance, int sluIndex)
{
    instance = nullptr;
    VELDARO_SDPVExtent* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        if (sluIndex < 0 || static_cast<std::uint32_t>(sluIndex) >= table.getSLUMaxCount())
            return 1;
        if ((table.getSluStatus(sluIndex) & 0xFF) == 6 || table.getLuType(sluIndex) != LU_SNAP_DATA_POOL)
            return 0;
        const std::uint16_t rlun = table.getSluRlun(sluIndex);
        const int rlu = table.searchRlunFromRluTable(rlun);
        if (rlu < 0)
            return 0;
        const std::uint16_t olun = table.getSluOlun(sluIndex);
        const std::uint8_t level = table.getRaidLevel(rlu);
        const std::uint64_t blocks = table.getSlbaCount(sluIndex);
        const std::uint8_t pool = table.getSluSDPID(sluIndex);
        int first = 0, second = 0;
        if (table.getOluSMISStatus(olun, &first, &second) != 0) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }

        made = Instance_Provider_Frame::newInstance<VELDARO_SDPVExtent>();
        if (setSDPVExtent(made, level, rlun, olun, LU_SNAP_DATA_POOL, first, second, blocks, pool, _storage) != 0) {
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

int VELDARO_SDPVExtent_Resource::setSDPVExtent(VELDARO_SDPVExtent* made, std::uint8_t level, std::uint16_t rlun,
                                               std::uint16_t olun, std::uint8_t luType, int first, int second,
                                               std::uint64_t blocks, std::uint8_t pool, String storage)
{
    try {
        if (!made) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        char buf[64];
        made->Caption.set("Snap Data Pool Volume");
        made->Description.set("Snap Data Pool Volume");
        std::snprintf(buf, sizeof buf, "SDPV%05d(SDP%02d)", olun, pool);
        made->ElementName.set(buf);
        Extent_Common::setStatusPair(made, first, second);
        Extent_Common::setDeviceKeys(made, storage, "VELDARO_SDPVExtent",
                                     VELDARO_ValueConv::convLuTypeToLVolId(luType, olun));
        std::snprintf(buf, sizeof buf, "%05d+0x%02x", olun,
                      static_cast<unsigned>(VELDARO_ValueConv::convLuTypeToVolumeType(luType)));
        made->Purpose.set(buf);
        made->DataOrganization.set(2);
        made->Access.set(3);
        made->BlockSize.set(512);
        made->NumberOfBlocks.set(blocks);
        made->ConsumableBlocks.set(blocks);
        made->IsBasedOnUnderlyingRedundancy.set(true);
        made->NoSinglePointOfFailure.set(VELDARO_ValueConv::convRaidLevelToNoSinglePoint(level) != 0);
        made->DataRedundancy.set(static_cast<uint16>(VELDARO_ValueConv::convRaidLevelToDataRedundancy(level)));
        made->PackageRedundancy.set(static_cast<uint16>(VELDARO_ValueConv::convRaidLevelToPackageRedundancy(level)));
        made->DeltaReservation.set(100);
        made->Primordial.set(false);
        made->RLUN.set(rlun);
        made->OLUN.set(olun);
        made->SDPID.set(pool);
        made->Usage.set(static_cast<uint16>(VELDARO_ValueConv::convLuTypeToUsage(luType)));
        return 0;
    } catch (...) {
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

bool VELDARO_SDPVExtent_Resource::divide_DeviceID(const char* key, std::uint16_t* olun)
{
    if (!key || !*key || !olun)
        return false;
    int number = 0;
    if (std::sscanf(key, "SDP%05d", &number) != 1)
        return false;
    *olun = static_cast<std::uint16_t>(number);
    return true;
}

}  // namespace cimple
