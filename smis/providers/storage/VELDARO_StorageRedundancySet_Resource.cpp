// The hot-spare disk groups of an array.

#include "VELDARO_StorageRedundancySet_Resource.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "Instance_Provider_Frame.h"
#include "VELDARO_RefTable.h"

namespace cimple {

namespace {
constexpr unsigned DISK_ABSENT = 2;
constexpr std::uint8_t USAGE_DEDICATED_SPARE = 10;
constexpr std::uint16_t NO_GROUP = 0xFFFF;
}  // namespace

VELDARO_StorageRedundancySet_Resource::~VELDARO_StorageRedundancySet_Resource()
{
    Instance_Provider_Frame::destroyAll(_list);
}

int VELDARO_StorageRedundancySet_Resource::createStorageRedundancySet()
{
    VELDARO_StorageRedundancySet* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        const int first = Instance_Common::icFirstCommonProcess(&table);
        if (first != 0)
            return first;

        made = Instance_Provider_Frame::newInstance<VELDARO_StorageRedundancySet>();
        if (setStorageRedundancySet(made, nullptr) != 0) {
            destroy(made);
            return 1;
        }
        _list.append(made);
        made = nullptr;

        std::vector<bool> handled(0x10000, false);
        for (int d = 0; d < DISK_TABLE_SIZE; ++d) {
            if ((table.getDiskStatus(d) & 0xFF) == DISK_ABSENT || table.getDiskUsage(d) != USAGE_DEDICATED_SPARE)
                continue;
            const std::uint16_t rlun = table.getDiskDedicatedHSRlun(d);
            // A spare dedicated to no RAID group, or to one the array does
            // not have, stands by for no set.
            if (handled[rlun] || rlun == NO_GROUP || table.searchRlunFromRluTable(rlun) < 0)
                continue;
            char text[16];
            std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(rlun));
            made = Instance_Provider_Frame::newInstance<VELDARO_StorageRedundancySet>();
            if (setStorageRedundancySet(made, text) != 0) {
                destroy(made);
                return 1;
            }
            _list.append(made);
            made = nullptr;
            handled[rlun] = true;
        }
        return 0;
    } catch (...) {
        if (made)
            destroy(made);
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

int VELDARO_StorageRedundancySet_Resource::setStorageRedundancySet(VELDARO_StorageRedundancySet* made,
                                                                   const char* rlun)
{
    try {
        if (!made) {
            Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
            return 1;
        }
        if (rlun) {
            char id[32];
            std::snprintf(id, sizeof id, "VELDARO:SRS%04d_", std::atoi(rlun));
            made->InstanceID.set(concat(id, _storage));
            made->HSRLUN.set(rlun);
        } else {
            made->InstanceID.set(concat("VELDARO:SRS_", _storage));
        }
        made->Caption.set("Hot Spared Disk Group");
        made->Description.set("Hot Spared Disk Group");
        made->ElementName.set("Hot Spared Disk Group");
        made->RedundancyStatus.set(2);
        Array<uint16> type;
        type.append(5);
        made->TypeOfSet.set(type);
        made->MinNumberNeeded.set(0);
        made->MaxNumberSupported.set(0);
        return 0;
    } catch (...) {
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

}  // namespace cimple
