// One tiering sub-pool as a composite extent with its RAID level and size.

#include "VELDARO_LayerixSubExtent_Resource.h"

#include <cstdio>

#include "Instance_Provider_Frame.h"
#include "Layerix_Extent_Values.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

namespace cimple {

int VELDARO_LayerixSubExtent_Resource::createInstance(VELDARO_LayerixSubExtent*& instance, int tppIndex)
{
    instance = nullptr;
    VELDARO_LayerixSubExtent* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        if (tppIndex < 0 || tppIndex >= TPP_TABLE_SIZE || table.getTppMemDiskCnt(tppIndex) == 0 ||
            !table.isLayerixSubPool(tppIndex))
            return 0;
        Layerix_Extent_Values v("VELDARO_LayerixSubExtent", "LXSE", "Layerix Sub Extent");
        v.poolNumber = table.getTppPoolNumber(tppIndex);
        v.level = table.getTppRaidLevel(tppIndex);
        v.blocks = table.getTppMaxPoolLbaCount(tppIndex);
        // Pools sit at the index of their number.
        if (table.getTppSMISStatus(v.poolNumber, &v.firstStatus, &v.secondStatus) != 0) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        v.stripeLength = VELDARO_ValueConv::convRaidLevel_TPPToStripeLength(v.level, table.getTppMemDiskCnt(tppIndex));
        char buf[64];
        std::snprintf(buf, sizeof buf, "Layerix Sub Pool%04d(%s)", v.poolNumber,
                      VELDARO_ValueConv::convRaidLevelToString(v.level).c_str());
        v.elementName = buf;

        made = Instance_Provider_Frame::newInstance<VELDARO_LayerixSubExtent>();
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

bool VELDARO_LayerixSubExtent_Resource::divide_DeviceID(const char* key, std::uint16_t* poolNumber)
{
    if (!key || !*key || !poolNumber)
        return false;
    int number = 0;
    if (std::sscanf(key, "LXSE%04d", &number) != 1)
        return false;
    *poolNumber = static_cast<std::uint16_t>(number);
    return true;
}

}  // namespace cimple
