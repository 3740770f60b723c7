// One thin provisioning pool's whole capacity as a composite extent.

#include "VELDARO_ThinProvisioningExtent_Resource.h"

#include <cstdio>

#include "Extent_Common.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

int VELDARO_ThinProvisioningExtent_Resource::createInstance(VELDARO_ThinProvisioningExtent*& instance, int tppIndex)
{
    instance = nullptr;
    VELDARO_ThinProvisioningExtent* made = nullptr;
    try {
        if (tppIndex < 0 || tppIndex >= TPP_TABLE_SIZE)
            return 0;
        VELDARO_RefTable table(_storage.c_str());
        if (table.getTppMemDiskCnt(tppIndex) == 0 || table.isLayerixSubPool(tppIndex))
            return 0;
        const std::uint16_t pool = table.getTppPoolNumber(tppIndex);
        const std::uint8_t level = table.getTppRaidLevel(tppIndex);
        const std::uint64_t blocks = table.getTppMaxPoolLbaCount(tppIndex);
        int first = 0, second = 0;
        if (table.getTppSMISStatus(pool, &first, &second) != 0) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        const int stripeLength =
            VELDARO_ValueConv::convRaidLevel_TPPToStripeLength(level, table.getTppMemDiskCnt(tppIndex));

        made = Instance_Provider_Frame::newInstance<VELDARO_ThinProvisioningExtent>();
        char buf[64];
        made->Caption.set("Thin Provisioning Extent");
        made->Description.set("Thin Provisioning Extent");
        std::snprintf(buf, sizeof buf, "TPP%04d(%s)", pool, VELDARO_ValueConv::convRaidLevelToString(level).c_str());
        made->ElementName.set(buf);
        std::snprintf(buf, sizeof buf, "%-8s+%-16s+%04X", "VELDARO", "TPP", pool);
        made->Name.set(buf);
        Extent_Common::setStatusPair(made, first, second);
        std::snprintf(buf, sizeof buf, "TPP%04d", pool);
        Extent_Common::setDeviceKeys(made, _storage, "VELDARO_ThinProvisioningExtent", buf);
        made->DataOrganization.set(2);
        made->Access.set(3);
        made->BlockSize.set(512);
        made->NumberOfBlocks.set(blocks);
        made->ConsumableBlocks.set(blocks);
        Extent_Common::setRedundancy(made, level);
        made->SequentialAccess.set(false);
        made->Primordial.set(false);
        made->ExtentStripeLength.set(static_cast<uint64>(static_cast<std::int64_t>(stripeLength)));
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

bool VELDARO_ThinProvisioningExtent_Resource::divide_DeviceID(const char* key, std::uint16_t* poolNumber)
{
    if (!key || !*key || !poolNumber)
        return false;
    int number = 0;
    if (std::sscanf(key, "TPP%04d", &number) != 1)
        return false;
    *poolNumber = static_cast<std::uint16_t>(number);
    return true;
}

}  // namespace cimple
