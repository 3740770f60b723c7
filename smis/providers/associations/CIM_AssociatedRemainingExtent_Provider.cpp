// Each RAID pool with its free extents and each thin-provisioning pool with
// its free extent.

#include "CIM_AssociatedRemainingExtent_Provider.h"

#include "CIM_AssociatedRemainingExtent.h"
#include "VELDARO_FreeExtent_Resource.h"
#include "VELDARO_RAIDStoragePool_Resource.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ThinProvisioningFreeExtent_Resource.h"
#include "VELDARO_ThinProvisioningPool_Resource.h"
#include "Table_Entries.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;


void add(Association_Map_Frame& frame, Instance* pool, Instance* extent)
{
    frame.add(Common::newAssociation(&CIM_AssociatedRemainingExtent::static_meta_class, pool, extent));
}

// The free extents of one group, owned until handed out.
struct Free_Extents {
    Array<VELDARO_FreeExtent*> list;
    ~Free_Extents()
    {
        for (std::size_t i = 0; i < list.size(); ++i)
            destroy(list[i]);
    }
};

bool raidPoolsToFreeExtents(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_RAIDStoragePool_Resource pools(frame.storage());
        VELDARO_FreeExtent_Resource frees(frame.storage());
        const int count = static_cast<int>(table.getRLUMaxCount());
        for (int rlu = 0; rlu < count; ++rlu) {
            VELDARO_RAIDStoragePool* built = nullptr;
            if (pools.createInstance(built, rlu) != 0)
                return false;
            Owned<VELDARO_RAIDStoragePool> pool(built);
            if (!pool)
                continue;
            Free_Extents extents;
            if (frees.createInstance(extents.list, rlu) != 0)
                return false;
            for (std::size_t i = 0; i < extents.list.size(); ++i) {
                VELDARO_FreeExtent* free = extents.list[i];
                extents.list[i] = nullptr;
                if (free)
                    add(frame, clone(pool.get()), free);
            }
        }
        return true;
    });
}

bool thinPoolsToFreeExtent(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_ThinProvisioningPool_Resource pools(frame.storage());
        VELDARO_ThinProvisioningFreeExtent_Resource frees(frame.storage());
        for (int tpp = 0; tpp < Table_Entries::THIN_POOLS; ++tpp) {
            VELDARO_ThinProvisioningPool* built = nullptr;
            if (pools.createInstance(built, tpp) != 0)
                return false;
            Owned<VELDARO_ThinProvisioningPool> pool(built);
            if (!pool)
                continue;
            VELDARO_ThinProvisioningFreeExtent* made = nullptr;
            if (frees.createInstance(made, tpp) != 0)
                return false;
            Owned<VELDARO_ThinProvisioningFreeExtent> free(made);
            if (free)
                add(frame, pool.release(), free.release());
        }
        return true;
    });
}

}  // namespace

CIM_AssociatedRemainingExtent_Provider::CIM_AssociatedRemainingExtent_Provider()
    : Association_Map_Frame(&CIM_AssociatedRemainingExtent::static_meta_class)
{
}

CIM_AssociatedRemainingExtent_Provider::~CIM_AssociatedRemainingExtent_Provider() {}

bool CIM_AssociatedRemainingExtent_Provider::_enumPairs()
{
    return raidPoolsToFreeExtents(*this) && thinPoolsToFreeExtent(*this);
}

}  // namespace cimple
