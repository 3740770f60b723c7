// One volume made of several sub-volumes, as a whole: a concatenated
// composite extent.

#include "VELDARO_ConcatenatedExtent_Resource.h"

#include <cstdio>

#include "Extent_Common.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_RefTable.h"

namespace cimple {

int VELDARO_ConcatenatedExtent_Resource::createInstance(VELDARO_ConcatenatedExtent*& instance, int oluIndex)
{
    instance = nullptr;
    VELDARO_ConcatenatedExtent* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        if (oluIndex < 0 || static_cast<std::uint32_t>(oluIndex) >= table.getOLUMaxCount())
            return 1;
        if ((table.getOluStatus(oluIndex) & 0xFF) == 6 || !table.isConcatenatedLogicalVolume(oluIndex))
            return 0;
        const std::uint16_t olun = table.getOluOlun(oluIndex);
        const std::uint64_t blocks = table.getOluOlbaCount(oluIndex);
        int first = 0, second = 0;
        if (table.getOluSMISStatus(olun, &first, &second) != 0) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }

        made = Instance_Provider_Frame::newInstance<VELDARO_ConcatenatedExtent>();
        char buf[64];
        made->Caption.set("Concatenated Extent");
        made->Description.set("Concatenated Extent");
        std::snprintf(buf, sizeof buf, "LogicalVolume%05d(JBOD)", olun);
        made->ElementName.set(buf);
        std::snprintf(buf, sizeof buf, "%-8s+%-16s+%05X", "VELDARO", "Concat Volume", olun);
        made->Name.set(buf);
        Extent_Common::setStatusPair(made, first, second);
        std::snprintf(buf, sizeof buf, "CAT%05d", olun);
        Extent_Common::setDeviceKeys(made, _storage, "VELDARO_ConcatenatedExtent", buf);
        made->DataOrganization.set(2);
        made->Access.set(3);
        made->BlockSize.set(512);
        made->NumberOfBlocks.set(blocks);
        made->ConsumableBlocks.set(blocks);
        made->IsBasedOnUnderlyingRedundancy.set(false);
        made->NoSinglePointOfFailure.set(false);
        made->DataRedundancy.set(1);
        made->PackageRedundancy.set(0);
        made->Primordial.set(false);
        made->ExtentStripeLength.set(1);
        made->IsConcatenated.set(true);
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

bool VELDARO_ConcatenatedExtent_Resource::divide_DeviceID(const char* key, std::uint16_t* olun)
{
    if (!key || !*key || !olun)
        return false;
    int number = 0;
    if (std::sscanf(key, "CAT%05d", &number) != 1)
        return false;
    *olun = static_cast<std::uint16_t>(number);
    return true;
}

}  // namespace cimple
