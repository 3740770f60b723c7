// Each storage pool with the extents that make it up: the primordial pool
// with the disks, and every other pool with its own extent.

#include "CIM_AssociatedComponentExtent_Provider.h"

#include "Association_End.h"
#include "CIM_AssociatedComponentExtent.h"
#include "Fixed_End_Walk.h"
#include "Key_Index.h"
#include "Same_Index_Walk.h"
#include "Snap_Data_Pairs.h"
#include "Table_Entries.h"
#include "VELDARO_DiskExtent_Resource.h"
#include "VELDARO_LayerixExtent_Resource.h"
#include "VELDARO_LayerixPool_Resource.h"
#include "VELDARO_LayerixSubExtent_Resource.h"
#include "VELDARO_LayerixSubPool_Resource.h"
#include "VELDARO_PrimordialStoragePool_Resource.h"
#include "VELDARO_RAIDCompositeExtent_Resource.h"
#include "VELDARO_RAIDStoragePool_Resource.h"
#include "VELDARO_SDPVExtent_Resource.h"
#include "VELDARO_SDPVPool_Resource.h"
#include "VELDARO_SnapDataCompositeExtent_Resource.h"
#include "VELDARO_SnapDataPool_Resource.h"
#include "VELDARO_ThinProvisioningExtent_Resource.h"
#include "VELDARO_ThinProvisioningPool_Resource.h"

namespace cimple {

namespace {

using Frame = Association_Parent_Frame;
using Common = Association_Provider_Frame;

constexpr std::uint8_t LU_SDP = 7;

// The primordial pool with every disk extent, or with the one given disk.
// The far end is lent as built.
bool primordialToDiskExtents(Frame& frame, int oneDisk)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_PrimordialStoragePool_Resource pools(frame.storage());
        if (!buildList(pools, &VELDARO_PrimordialStoragePool_Resource::createPrimordialStoragePool))
            return false;
        VELDARO_DiskExtent_Resource disks(frame.storage());
        const Index_Range range =
            oneDisk < 0 ? Index_Range::all(Table_Entries::DISKS) : Index_Range{oneDisk, oneDisk + 1};
        return Fixed_End_Walk::pairs<CIM_AssociatedComponentExtent, VELDARO_DiskExtent>(
            frame, firstListed(pools), Fixed_End_Walk::Fixed::FIRST, range, Fixed_End_Walk::Far::OTHER_END, false,
            Association_End<VELDARO_DiskExtent>::byIndex(disks));
    });
}

// A pool and the extent of the same table index.
template <class PoolResource, class Pool, class ExtentResource, class Extent>
bool sameIndex(Frame& frame, int entry, int count)
{
    PoolResource pools(frame.storage());
    ExtentResource extents(frame.storage());
    return Same_Index_Walk::resourcePairs<CIM_AssociatedComponentExtent, Pool, Extent>(
        frame, frame.walk(entry, count), Same_Index_Walk::Far::OTHER_END, false, Same_Index_Walk::PASS_OVER, __FILE__,
        __LINE__, pools, extents);
}

int rluCount(const String& storage)
{
    return static_cast<int>(VELDARO_RefTable(storage.c_str()).getRLUMaxCount());
}

int sluCount(const String& storage)
{
    return static_cast<int>(VELDARO_RefTable(storage.c_str()).getSLUMaxCount());
}

bool raidPoolToCompositeExtent(Frame& frame, int rlu)
{
    return sameIndex<VELDARO_RAIDStoragePool_Resource, VELDARO_RAIDStoragePool, VELDARO_RAIDCompositeExtent_Resource,
                     VELDARO_RAIDCompositeExtent>(frame, rlu, rluCount(frame.storage()));
}

bool sdpvPoolToExtent(Frame& frame, int slu)
{
    return sameIndex<VELDARO_SDPVPool_Resource, VELDARO_SDPVPool, VELDARO_SDPVExtent_Resource, VELDARO_SDPVExtent>(
        frame, slu, sluCount(frame.storage()));
}

bool thinPoolToExtent(Frame& frame, int tpp)
{
    return sameIndex<VELDARO_ThinProvisioningPool_Resource, VELDARO_ThinProvisioningPool,
                     VELDARO_ThinProvisioningExtent_Resource, VELDARO_ThinProvisioningExtent>(
        frame, tpp, Table_Entries::THIN_POOLS);
}

bool layerixPoolToExtent(Frame& frame, int lxrp)
{
    return sameIndex<VELDARO_LayerixPool_Resource, VELDARO_LayerixPool, VELDARO_LayerixExtent_Resource,
                     VELDARO_LayerixExtent>(frame, lxrp, Table_Entries::LAYERIX_POOLS);
}

bool subPoolToSubExtent(Frame& frame, int tpp)
{
    return sameIndex<VELDARO_LayerixSubPool_Resource, VELDARO_LayerixSubPool, VELDARO_LayerixSubExtent_Resource,
                     VELDARO_LayerixSubExtent>(frame, tpp, Table_Entries::THIN_POOLS);
}

// Clones of a snapshot pool and its extent; the far end is lent as built.
void emitSnapData(Frame& frame, const Instance* pool, const Instance* extent)
{
    Instance* first = clone(pool);
    Instance* second = clone(extent);
    frame.emit<CIM_AssociatedComponentExtent>(first, second, frame.otherEnd(first, second), false);
}

// Each snapshot data pool (or the one whose InstanceID is given) with the
// first composite extent of its SDP id.
bool snapDataPoolToCompositeExtent(Frame& frame, const char* instanceId)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        return Snap_Data_Pairs::poolsWithComposites(
            frame.storage(), instanceId, [&](auto* pool, auto* extent) { emitSnapData(frame, pool, extent); });
    });
}

bool compositeExtentToSnapDataPool(Frame& frame, const char* deviceId)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        return Snap_Data_Pairs::compositeWithPool(frame.storage(), deviceId,
                                                  [&](auto* pool, auto* extent) { emitSnapData(frame, pool, extent); });
    });
}

using Find = int (VELDARO_RefTable::*)(std::uint16_t) const;
constexpr Find RLU = &VELDARO_RefTable::searchRlunFromRluTable;
constexpr Find TPP = &VELDARO_RefTable::searchPoolNoFromTppTable;
constexpr Find LXRP = &VELDARO_RefTable::searchPoolNoFromLxrpTable;

const Frame::Source_Route ROUTES[] = {
    {&VELDARO_PrimordialStoragePool::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance*, int) { return primordialToDiskExtents(frame, -1); }},
    {&VELDARO_DiskExtent::static_meta_class, Common::BY_SYSTEM_NAME,
     Key_Index::of<&VELDARO_DiskExtent_Resource::divide_DeviceID, &VELDARO_RefTable::searchPlunFromDiskTable,
                   Key_Index::DEVICE_ID>,
     [](Frame& frame, const Instance*, int disk) { return primordialToDiskExtents(frame, disk); }},
    {&VELDARO_RAIDStoragePool::static_meta_class, Common::BY_INSTANCE_ID,
     Key_Index::of<&VELDARO_RAIDStoragePool_Resource::divide_InstanceID, RLU, Key_Index::INSTANCE_ID>,
     [](Frame& frame, const Instance*, int rlu) { return raidPoolToCompositeExtent(frame, rlu); }},
    {&VELDARO_RAIDCompositeExtent::static_meta_class, Common::BY_SYSTEM_NAME,
     Key_Index::of<&VELDARO_RAIDCompositeExtent_Resource::divide_DeviceID, RLU, Key_Index::DEVICE_ID>,
     [](Frame& frame, const Instance*, int rlu) { return raidPoolToCompositeExtent(frame, rlu); }},
    {&VELDARO_SDPVPool::static_meta_class, Common::BY_INSTANCE_ID,
     Key_Index::snapDataVolume<&VELDARO_SDPVPool_Resource::divide_InstanceID, Key_Index::INSTANCE_ID>,
     [](Frame& frame, const Instance*, int slu) { return sdpvPoolToExtent(frame, slu); }},
    {&VELDARO_SDPVExtent::static_meta_class, Common::BY_SYSTEM_NAME,
     Key_Index::snapDataVolume<&VELDARO_SDPVExtent_Resource::divide_DeviceID, Key_Index::DEVICE_ID>,
     [](Frame& frame, const Instance*, int slu) { return sdpvPoolToExtent(frame, slu); }},
    {&VELDARO_SnapDataPool::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance* source, int) {
         return snapDataPoolToCompositeExtent(frame, Common::keyText(source, "InstanceID"));
     }},
    {&VELDARO_SnapDataCompositeExtent::static_meta_class, Common::BY_SYSTEM_NAME, nullptr,
     [](Frame& frame, const Instance* source, int) {
         const char* deviceId = Common::keyText(source, "DeviceID");
         return !deviceId || compositeExtentToSnapDataPool(frame, deviceId);
     }},
    {&VELDARO_ThinProvisioningPool::static_meta_class, Common::BY_INSTANCE_ID,
     Key_Index::of<&VELDARO_ThinProvisioningPool_Resource::divide_InstanceID, TPP, Key_Index::INSTANCE_ID>,
     [](Frame& frame, const Instance*, int tpp) { return thinPoolToExtent(frame, tpp); }},
    {&VELDARO_ThinProvisioningExtent::static_meta_class, Common::BY_SYSTEM_NAME,
     Key_Index::of<&VELDARO_ThinProvisioningExtent_Resource::divide_DeviceID, TPP, Key_Index::DEVICE_ID>,
     [](Frame& frame, const Instance*, int tpp) { return thinPoolToExtent(frame, tpp); }},
    {&VELDARO_LayerixPool::static_meta_class, Common::BY_INSTANCE_ID,
     Key_Index::of<&VELDARO_LayerixPool_Resource::divide_InstanceID, LXRP, Key_Index::INSTANCE_ID>,
     [](Frame& frame, const Instance*, int lxrp) { return layerixPoolToExtent(frame, lxrp); }},
    {&VELDARO_LayerixExtent::static_meta_class, Common::BY_SYSTEM_NAME,
     Key_Index::of<&VELDARO_LayerixExtent_Resource::divide_DeviceID, LXRP, Key_Index::DEVICE_ID>,
     [](Frame& frame, const Instance*, int lxrp) { return layerixPoolToExtent(frame, lxrp); }},
    {&VELDARO_LayerixSubPool::static_meta_class, Common::BY_INSTANCE_ID,
     Key_Index::of<&VELDARO_LayerixSubPool_Resource::divide_InstanceID, TPP, Key_Index::INSTANCE_ID>,
     [](Frame& frame, const Instance*, int tpp) { return subPoolToSubExtent(frame, tpp); }},
    {&VELDARO_LayerixSubExtent::static_meta_class, Common::BY_SYSTEM_NAME,
     Key_Index::of<&VELDARO_LayerixSubExtent_Resource::divide_DeviceID, TPP, Key_Index::DEVICE_ID>,
     [](Frame& frame, const Instance*, int tpp) { return subPoolToSubExtent(frame, tpp); }},
};

}  // namespace

CIM_AssociatedComponentExtent_Provider::CIM_AssociatedComponentExtent_Provider() {}

CIM_AssociatedComponentExtent_Provider::~CIM_AssociatedComponentExtent_Provider() {}

bool CIM_AssociatedComponentExtent_Provider::_enumPairs()
{
    return primordialToDiskExtents(*this, -1) && raidPoolToCompositeExtent(*this, 0) && sdpvPoolToExtent(*this, 0) &&
           snapDataPoolToCompositeExtent(*this, nullptr) && thinPoolToExtent(*this, 0) &&
           layerixPoolToExtent(*this, 0) && subPoolToSubExtent(*this, 0);
}

int CIM_AssociatedComponentExtent_Provider::_request(const Instance* source)
{
    return route(source, ROUTES);
}

}  // namespace cimple
