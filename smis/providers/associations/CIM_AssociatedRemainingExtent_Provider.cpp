// Each RAID pool with its free extents and each thin-provisioning pool with
// its free extent.

#include "CIM_AssociatedRemainingExtent_Provider.h"

#include "Association_End.h"
#include "CIM_AssociatedRemainingExtent.h"
#include "Free_Extent_List.h"
#include "Key_Index.h"
#include "Same_Index_Walk.h"
#include "Table_Entries.h"
#include "VELDARO_FreeExtent.h"
#include "VELDARO_FreeExtent_Resource.h"
#include "VELDARO_RAIDStoragePool.h"
#include "VELDARO_RAIDStoragePool_Resource.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ThinProvisioningFreeExtent.h"
#include "VELDARO_ThinProvisioningFreeExtent_Resource.h"
#include "VELDARO_ThinProvisioningPool.h"
#include "VELDARO_ThinProvisioningPool_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;

// RAID groups of the range (-1: every group).
bool raidPoolsToFreeExtents(Association_Map_Frame& frame, int rlu = -1)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_RAIDStoragePool_Resource pools(frame.storage());
        VELDARO_FreeExtent_Resource frees(frame.storage());
        const int count = static_cast<int>(table.getRLUMaxCount());
        return Free_Extent_List::eachGroup<VELDARO_RAIDStoragePool>(
            pools, frees, rlu < 0 ? Index_Range::all(count) : Index_Range::one(rlu, count),
            [&](auto& pool, VELDARO_FreeExtent* free, std::size_t) {
                if (free)
                    frame.add<CIM_AssociatedRemainingExtent>(pool.copy(), free);
            });
    });
}

// Thin pools of the range (-1: every pool).
bool thinPoolsToFreeExtent(Association_Map_Frame& frame, int tpp = -1)
{
    VELDARO_ThinProvisioningPool_Resource pools(frame.storage());
    VELDARO_ThinProvisioningFreeExtent_Resource frees(frame.storage());
    const int count = Table_Entries::THIN_POOLS;
    return Same_Index_Walk::each<VELDARO_ThinProvisioningPool, VELDARO_ThinProvisioningFreeExtent>(
        tpp < 0 ? Index_Range::all(count) : Index_Range::one(tpp, count), Same_Index_Walk::PASS_OVER, __FILE__,
        __LINE__,
        Association_End<VELDARO_ThinProvisioningPool>::byIndex(pools),
        Association_End<VELDARO_ThinProvisioningFreeExtent>::byIndex(frees),
        [&](auto& pool, auto& free, int) { frame.add<CIM_AssociatedRemainingExtent>(pool.release(), free.release()); });
}

// The one group or pool a pool or free extent key names: a key that names
// none has no pairs.
template <auto Index, bool (*Pairs)(Association_Map_Frame&, int)>
bool ofIndex(Association_Map_Frame& frame, const Instance* source)
{
    const int index = Index(VELDARO_RefTable(frame.storage().c_str()), source);
    return index < 0 || Pairs(frame, index);
}

constexpr auto RLU = &VELDARO_RefTable::searchRlunFromRluTable;
constexpr auto TPP = &VELDARO_RefTable::searchPoolNoFromTppTable;

const Association_Map_Frame::Source_Route ROUTES[] = {
    {&VELDARO_RAIDStoragePool::static_meta_class,
     ofIndex<Key_Index::of<&VELDARO_RAIDStoragePool_Resource::divide_InstanceID, RLU, Key_Index::INSTANCE_ID>,
             raidPoolsToFreeExtents>},
    {&VELDARO_FreeExtent::static_meta_class,
     ofIndex<Key_Index::of<&VELDARO_FreeExtent_Resource::divide_DeviceID, RLU, Key_Index::DEVICE_ID>,
             raidPoolsToFreeExtents>},
    {&VELDARO_ThinProvisioningPool::static_meta_class,
     ofIndex<Key_Index::of<&VELDARO_ThinProvisioningPool_Resource::divide_InstanceID, TPP, Key_Index::INSTANCE_ID>,
             thinPoolsToFreeExtent>},
    {&VELDARO_ThinProvisioningFreeExtent::static_meta_class,
     ofIndex<Key_Index::of<&VELDARO_ThinProvisioningFreeExtent_Resource::divide_DeviceID, TPP, Key_Index::DEVICE_ID>,
             thinPoolsToFreeExtent>},
};

}  // namespace

CIM_AssociatedRemainingExtent_Provider::CIM_AssociatedRemainingExtent_Provider()
    : Association_Map_Frame(&CIM_AssociatedRemainingExtent::static_meta_class)
{
    routeSources(ROUTES);
}

CIM_AssociatedRemainingExtent_Provider::~CIM_AssociatedRemainingExtent_Provider() {}

bool CIM_AssociatedRemainingExtent_Provider::_enumPairs()
{
    return raidPoolsToFreeExtents(*this) && thinPoolsToFreeExtent(*this);
}

}  // namespace cimple
