// One sub-volume of a volume made of several sub-volumes.

#include "VELDARO_PartOfConcatenatedExtent_Resource.h"

#include <cstdio>

#include "Extent_Common.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

int VELDARO_PartOfConcatenatedExtent_Resource::createInstance(VELDARO_PartOfConcatenatedExtent*& instance,
                                                              int sluIndex)
{
    instance = nullptr;
    VELDARO_PartOfConcatenatedExtent* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        if (sluIndex < 0 || static_cast<std::uint32_t>(sluIndex) >= table.getSLUMaxCount())
            return 1;
        if ((table.getSluStatus(sluIndex) & 0xFF) == 6)
            return 0;
        const int olu = table.searchOlunFromOluTable(table.getSluOlun(sluIndex));
        if (olu < 0 || !table.isConcatenatedLogicalVolume(olu))
            return 0;
        const std::uint16_t slun = table.getSluSlun(sluIndex);
        int first = 0, second = 0;
        if (table.getSluSMISStatus(slun, &first, &second) != 0) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        const std::uint8_t luType = table.getLuType(sluIndex);
        const std::uint64_t blocks = table.getSlbaCount(sluIndex);

        made = Instance_Provider_Frame::newInstance<VELDARO_PartOfConcatenatedExtent>();
        if (setPartOfConcatenatedExtent(made, _storage, slun, first, second, luType, blocks) != 0) {
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

int VELDARO_PartOfConcatenatedExtent_Resource::setPartOfConcatenatedExtent(VELDARO_PartOfConcatenatedExtent* made,
                                                                           String storage, std::uint16_t slun,
                                                                           int first, int second, std::uint8_t luType,
                                                                           std::uint64_t blocks)
{
    try {
        if (!made) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        char buf[64];
        made->Caption.set("Part Of Concatenated Extent");
        made->Description.set("Part Of Concatenated Extent");
        std::snprintf(buf, sizeof buf, "LogicalVolume%05d(JBOD)", slun);
        made->ElementName.set(buf);
        std::snprintf(buf, sizeof buf, "%-8s+%-16s+%05X", "VELDARO", "Logical Volume", slun);
        made->Name.set(buf);
        Extent_Common::setStatusPair(made, first, second);
        std::snprintf(buf, sizeof buf, "PVD%05d", slun);
        Extent_Common::setDeviceKeys(made, storage, "VELDARO_PartOfConcatenatedExtent", buf);
        std::snprintf(buf, sizeof buf, "%05d+0x%02x", slun,
                      static_cast<unsigned>(VELDARO_ValueConv::convLuTypeToVolumeType(luType)));
        made->Purpose.set(buf);
        made->DataOrganization.set(2);
        made->Access.set(3);
        made->BlockSize.set(512);
        made->NumberOfBlocks.set(blocks);
        made->ConsumableBlocks.set(blocks);
        made->IsBasedOnUnderlyingRedundancy.set(false);
        made->SequentialAccess.set(false);
        made->NoSinglePointOfFailure.set(false);
        made->DataRedundancy.set(1);
        made->PackageRedundancy.set(0);
        made->Primordial.set(false);
        return 0;
    } catch (...) {
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

bool VELDARO_PartOfConcatenatedExtent_Resource::divide_DeviceID(const char* key, std::uint16_t* slun)
{
    if (!key || !*key || !slun)
        return false;
    int number = 0;
    if (std::sscanf(key, "PVD%05d", &number) != 1)
        return false;
    *slun = static_cast<std::uint16_t>(number);
    return true;
}

}  // namespace cimple
