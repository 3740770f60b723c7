// One tiering pool as a composite extent. Its RAID level is the most
// redundant level among its sub-pools (255, unknown, without any), its size
// the sum of its sub-pools' sizes.

#include "VELDARO_LayerixExtent_Resource.h"

#include <cstdio>

#include "Instance_Provider_Frame.h"
#include "Layerix_Extent_Values.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

int VELDARO_LayerixExtent_Resource::createInstance(VELDARO_LayerixExtent*& instance, int lxrpIndex)
{
    instance = nullptr;
    VELDARO_LayerixExtent* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        if (lxrpIndex < 0 || lxrpIndex >= LXRP_TABLE_SIZE || table.getLxrpValidFlag(lxrpIndex) == 0)
            return 0;
        Layerix_Extent_Values v("VELDARO_LayerixExtent", "LXE", "Layerix Extent");
        v.poolNumber = table.getLxrpPoolNumber(lxrpIndex);
        int tppIndex = -1;
        v.level = table.getLxrpRaidLevel(lxrpIndex, &tppIndex);
        v.blocks = table.getLxrpPoolLbaCount(lxrpIndex);
        // Without a ranked sub-pool there are no member disks to count.
        const int memberDisks = v.level == 255 ? 0 : table.getTppMemDiskCnt(tppIndex);
        v.stripeLength = VELDARO_ValueConv::convRaidLevel_TPPToStripeLength(v.level, memberDisks);
        // Tiering pools sit at the index of their number.
        if (table.getLxrpSMISStatus(v.poolNumber, &v.firstStatus, &v.secondStatus) != 0) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        char buf[64];
        std::snprintf(buf, sizeof buf, "Layerix Pool%04d", v.poolNumber);
        v.elementName = buf;

        made = Instance_Provider_Frame::newInstance<VELDARO_LayerixExtent>();
        v.fill(*made, _storage);
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

bool VELDARO_LayerixExtent_Resource::divide_DeviceID(const char* key, std::uint16_t* poolNumber)
{
    if (!key || !*key || !poolNumber)
        return false;
    int number = 0;
    if (std::sscanf(key, "LXE%04d", &number) != 1)
        return false;
    *poolNumber = static_cast<std::uint16_t>(number);
    return true;
}

}  // namespace cimple
