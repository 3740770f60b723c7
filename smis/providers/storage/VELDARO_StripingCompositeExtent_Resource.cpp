// One member set (DLU) of a RAID5+0 group as a striping composite extent.

#include "VELDARO_StripingCompositeExtent_Resource.h"

#include <cstdio>

#include "Instance_Provider_Frame.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

int VELDARO_StripingCompositeExtent_Resource::createInstance(VELDARO_StripingCompositeExtent*& instance, int rluIndex,
                                                             int dluIndex)
{
    instance = nullptr;
    VELDARO_StripingCompositeExtent* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        if (rluIndex < 0 || static_cast<std::uint32_t>(rluIndex) >= table.getRLUMaxCount() || dluIndex < 0 ||
            static_cast<std::uint32_t>(dluIndex) >= table.getDLUMaxCount())
            return 1;
        const std::uint16_t rlun = table.getRluRlun(rluIndex);
        if ((table.getRluStatus(rluIndex) & 0xFF) == 3 || table.getRaidLevel(rluIndex) != RAID50 ||
            (table.getDluStatus(dluIndex) & 0xFF) == 3 || table.getDluRlun(dluIndex) != rlun)
            return 0;

        int first = 0, second = 0;
        if (table.getRluSMISStatus(rlun, &first, &second) != 0) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        const std::uint64_t blocks = table.getDluBlockCount(dluIndex);
        const int memberDisks = table.getDluMemberDiskCount(dluIndex);
        const std::uint8_t memberSet = table.getDluMemberDiskNumber(dluIndex);
        if (memberSet >= MEMBER_SETS)
            return 0;  // no Dlun slot names this member set
        const std::uint16_t dlun = table.getRluDlun(rluIndex, memberSet);

        made = Instance_Provider_Frame::newInstance<VELDARO_StripingCompositeExtent>();
        if (setStripingCompositeExtent(made, rlun, RAID50, first, second, blocks, memberDisks, memberSet, dlun) != 0) {
            destroy(made);
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
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

int VELDARO_StripingCompositeExtent_Resource::setStripingCompositeExtent(
    VELDARO_StripingCompositeExtent* made, std::uint16_t rlun, std::uint8_t level, int first, int second,
    std::uint64_t blocks, int memberDiskCount, std::uint8_t memberSet, std::uint16_t dlun)
{
    char buf[128];
    made->Caption.set("Striping Composite Extent");
    made->Description.set("Striping Composite Extent");
    std::snprintf(buf, sizeof buf, "RAID Group%04d(%s)", rlun, VELDARO_ValueConv::convRaidLevelToString(level).c_str());
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
    made->CreationClassName.set("VELDARO_StripingCompositeExtent");
    std::snprintf(buf, sizeof buf, "STP%04d_S%02d", rlun, memberSet);
    made->DeviceID.set(buf);
    made->DataOrganization.set(2);
    made->Access.set(3);
    made->BlockSize.set(512);
    made->NumberOfBlocks.set(blocks);
    made->ConsumableBlocks.set(blocks);
    made->IsBasedOnUnderlyingRedundancy.set(VELDARO_ValueConv::convRaidLevelToUnderlyingRedundancy(level) != 0);
    made->NoSinglePointOfFailure.set(VELDARO_ValueConv::convRaidLevelToNoSinglePoint(level) != 0);
    made->DataRedundancy.set(static_cast<uint16>(VELDARO_ValueConv::convRaidLevelToDataRedundancy(level)));
    made->PackageRedundancy.set(static_cast<uint16>(VELDARO_ValueConv::convRaidLevelToPackageRedundancy(level)));
    made->Primordial.set(false);
    made->ExtentStripeLength.set(static_cast<uint64>(memberDiskCount));
    made->IsConcatenated.set(false);
    made->RLUN.set(rlun);
    made->DLUN.set(dlun);
    return 0;
}

bool VELDARO_StripingCompositeExtent_Resource::divide_DeviceID(const char* key, std::uint16_t* rlun,
                                                               std::uint16_t* memberSet)
{
    if (!key || !*key || !rlun || !memberSet)
        return false;
    int number = 0, set = 0;
    if (std::sscanf(key, "STP%04d_S%02d", &number, &set) != 2)
        return false;
    *rlun = static_cast<std::uint16_t>(number);
    *memberSet = static_cast<std::uint16_t>(set);
    return true;
}

}  // namespace cimple
