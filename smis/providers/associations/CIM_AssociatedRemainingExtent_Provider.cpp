// Each RAID pool with its free extents and each thin-provisioning pool with
// its free extent.

#include "CIM_AssociatedRemainingExtent_Provider.h"

#include "Association_End.h"
#include "CIM_AssociatedRemainingExtent.h"
#include "Free_Extent_List.h"
#include "Same_Index_Walk.h"
#include "Table_Entries.h"
#include "VELDARO_FreeExtent_Resource.h"
#include "VELDARO_RAIDStoragePool_Resource.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ThinProvisioningFreeExtent_Resource.h"
#include "VELDARO_ThinProvisioningPool_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;

bool raidPoolsToFreeExtents(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_RAIDStoragePool_Resource pools(frame.storage());
        VELDARO_FreeExtent_Resource frees(frame.storage());
        return Free_Extent_List::eachGroup<VELDARO_RAIDStoragePool>(
            pools, frees, Index_Range::all(static_cast<int>(table.getRLUMaxCount())),
            [&](auto& pool, VELDARO_FreeExtent* free, std::size_t) {
                if (free)
                    frame.add<CIM_AssociatedRemainingExtent>(pool.copy(), free);
            });
    });
}

bool thinPoolsToFreeExtent(Association_Map_Frame& frame)
{
    VELDARO_ThinProvisioningPool_Resource pools(frame.storage());
    VELDARO_ThinProvisioningFreeExtent_Resource frees(frame.storage());
    return Same_Index_Walk::each<VELDARO_ThinProvisioningPool, VELDARO_ThinProvisioningFreeExtent>(
        Index_Range::all(Table_Entries::THIN_POOLS), Same_Index_Walk::PASS_OVER, __FILE__, __LINE__,
        Association_End<VELDARO_ThinProvisioningPool>::byIndex(pools),
        Association_End<VELDARO_ThinProvisioningFreeExtent>::byIndex(frees),
        [&](auto& pool, auto& free, int) { frame.add<CIM_AssociatedRemainingExtent>(pool.release(), free.release()); });
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
