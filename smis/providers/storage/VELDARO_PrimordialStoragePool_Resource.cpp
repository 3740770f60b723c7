// The primordial pool of one array: the blocks of its disks, split into
// those that belong to RAID groups and those still free.

#include "VELDARO_PrimordialStoragePool_Resource.h"

#include <cstdio>

#include "Instance_Common.h"
#include "Instance_Provider_Frame.h"
#include "Pool_Capacity.h"
#include "VELDARO_RefTable.h"

namespace cimple {

namespace {
constexpr std::uint32_t DISK_ITEM_ID = 0x80000000u;
}

VELDARO_PrimordialStoragePool_Resource::~VELDARO_PrimordialStoragePool_Resource()
{
    Instance_Provider_Frame::destroyAll(_list);
}

int VELDARO_PrimordialStoragePool_Resource::createPrimordialStoragePool()
{
    VELDARO_PrimordialStoragePool* made = nullptr;
    try {
        VELDARO_RefTable table(_storage.c_str());
        const int first = Instance_Common::icFirstCommonProcess(&table);
        if (first != 0)
            return first;
        std::uint64_t used = 0, free = 0;
        for (int d = 0; d < DISK_TABLE_SIZE; ++d) {
            if ((table.getDiskStatus(d) & 0xFF) == 2)
                continue;  // slot without a disk
            // An image without a disk table leaves its entries zero: an entry
            // whose item id is not a disk's holds no disk either.
            if ((table.getDiskItemId(d) & 0xFF000000u) != DISK_ITEM_ID)
                continue;
            const std::uint64_t blocks =
                (table.getDiskUsage(d) & 0x02) ? table.getDiskWholeBlockCount(d) : table.getDiskBlockCount(d);
            if (table.checkPluInUse(table.getDiskDlun(d), table.getDiskPlun(d)))
                used = Pool_Capacity::sum(used, blocks);
            else
                free = Pool_Capacity::sum(free, blocks);
        }
        const std::uint64_t total = Pool_Capacity::bytesOf(Pool_Capacity::sum(used, free));

        made = Instance_Provider_Frame::newInstance<VELDARO_PrimordialStoragePool>();
        const char* text = "Primordial Storage pool for VELDARO storage system";
        char buf[128];
        std::snprintf(buf, sizeof buf, "VELDARO:PSP_%s", _storage.c_str());
        made->InstanceID.set(buf);
        made->Caption.set(text);
        made->Description.set(text);
        made->ElementName.set(text);
        made->Name.set(text);
        made->PoolID.set("Primordial");
        made->Primordial.set(true);
        made->TotalManagedSpace.set(total);
        made->SpaceLimit.set(total);
        made->RemainingManagedSpace.set(Pool_Capacity::bytesOf(free));
        made->SpaceLimitDetermination.set(2);
        _list.append(made);
        return 0;
    } catch (...) {
        if (made)
            destroy(made);
        Instance_Provider_Frame::logBuildFailure(__FILE__, __LINE__);
        return 1;
    }
}

}  // namespace cimple
