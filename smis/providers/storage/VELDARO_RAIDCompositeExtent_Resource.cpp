// One RAID group as a composite extent with its level, redundancy and size.

#include "VELDARO_RAIDCompositeExtent_Resource.h"

#include <cstdio>

#include "Instance_Provider_Frame.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

int VELDARO_RAIDCompositeExtent_Resource::createInstance(VELDARO_RAIDCompositeExtent*& instance, int rluIndex)
{
    instance = nullptr;
    VELDARO_RAIDCompositeExtent* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        if (rluIndex < 0 || static_cast<std::uint32_t>(rluIndex) >= table.getRLUMaxCount())
            return 1;
        if ((table.getRluStatus(rluIndex) & 0xFF) == 3)
            return 0;  // free entry
        const std::uint16_t rlun = table.getRluRlun(rluIndex);
        const std::uint8_t level = table.getRaidLevel(rluIndex);
        const std::uint64_t blocks = table.getRlbaCount(rluIndex);
        const std::uint64_t consumable = (table.getRluMode(rluIndex) & 0x02) ? 0 : blocks;

        int first = 0, second = 0;
        if (table.getRluSMISStatus(rlun, &first, &second) != 0) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        const int stripeLength = VELDARO_ValueConv::convRaidLevelToStripeLength(level, table.getRaidDiskCount(rluIndex));
        const unsigned controller = table.getRluCurrentCMMID(rluIndex) & 0x07;

        made = Instance_Provider_Frame::newInstance<VELDARO_RAIDCompositeExtent>();
        char buf[128];
        made->Caption.set("RAID Group");
        made->Description.set("RAID Group");
        std::snprintf(buf, sizeof buf, "RAID Group%04d(%s)", rlun,
                      VELDARO_ValueConv::convRaidLevelToString(level).c_str());
        made->ElementName.set(buf);
        std::snprintf(buf, sizeof buf, "%-8s+%-16s+%04X", "VELDARO", "RAID Group", rlun);
        made->Name.set(buf);
        Array<uint16> operational;
        operational.append(static_cast<uint16>(first));
        made->OperationalStatus.set(operational);
        made->Status.set(VELDARO_ValueConv::convOperationalStatusToStatus(first));
        made->HealthState.set(static_cast<uint16>(VELDARO_ValueConv::convOperationalStatusToHealthState(first)));
        Array<uint16> extent;
        extent.append(static_cast<uint16>(second));
        made->ExtentStatus.set(extent);
        made->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
        made->SystemName.set(_storage);
        made->CreationClassName.set("VELDARO_RAIDCompositeExtent");
        std::snprintf(buf, sizeof buf, "VD%04d", rlun);
        made->DeviceID.set(buf);
        made->DataOrganization.set(2);
        std::snprintf(buf, sizeof buf, "%04d+%02u+0x%04x+0x%04x", rlun, controller, 65534u, 65534u);
        made->Purpose.set(buf);
        made->Access.set(3);
        made->BlockSize.set(512);
        made->NumberOfBlocks.set(blocks);
        made->ConsumableBlocks.set(consumable);
        made->IsBasedOnUnderlyingRedundancy.set(VELDARO_ValueConv::convRaidLevelToUnderlyingRedundancy(level) != 0);
        made->SequentialAccess.set(false);
        made->NoSinglePointOfFailure.set(VELDARO_ValueConv::convRaidLevelToNoSinglePoint(level) != 0);
        made->DataRedundancy.set(static_cast<uint16>(VELDARO_ValueConv::convRaidLevelToDataRedundancy(level)));
        made->PackageRedundancy.set(static_cast<uint16>(VELDARO_ValueConv::convRaidLevelToPackageRedundancy(level)));
        made->Primordial.set(false);
        made->ExtentStripeLength.set(static_cast<uint64>(stripeLength < 0 ? 0 : stripeLength));
        made->IsConcatenated.set(false);
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

bool VELDARO_RAIDCompositeExtent_Resource::divide_DeviceID(const char* key, std::uint16_t* rlun)
{
    if (!key || !*key || !rlun)
        return false;
    int number = 0;
    if (std::sscanf(key, "VD%04d", &number) != 1)
        return false;
    *rlun = static_cast<std::uint16_t>(number);
    return true;
}

}  // namespace cimple
