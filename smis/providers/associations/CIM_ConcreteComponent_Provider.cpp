// Every storage pool of an array and the extents that make it up: the
// primordial pool and every disk extent, each RAID group pool and its
// composite and free extents, each SDPV pool and its extent, each snapshot
// data pool and its composite extent (matched by SDPID), each thin pool and
// its extent and free extent, each tiering pool and its extent, each tiering
// sub-pool and its sub-extent.

#include "CIM_ConcreteComponent_Provider.h"

#include "Association_End.h"
#include "CIM_ConcreteComponent.h"
#include "Fixed_End_Walk.h"
#include "Free_Extent_List.h"
#include "Key_Index.h"
#include "Same_Index_Walk.h"
#include "Snap_Data_Pairs.h"
#include "SMIS_TraceLog.h"
#include "VELDARO_DiskExtent_Resource.h"
#include "VELDARO_FreeExtent_Resource.h"
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
#include "VELDARO_ThinProvisioningFreeExtent_Resource.h"
#include "VELDARO_ThinProvisioningPool_Resource.h"
#include "Table_Entries.h"

namespace cimple {

namespace {

using Frame = Association_Parent_Frame;
using Common = Association_Provider_Frame;

// The emitter: the pool is the group, the extent the part. The far end is
// the end that is not of the source's class.
void emit(Frame& frame, Instance* pool, Instance* extent)
{
    frame.emit<CIM_ConcreteComponent>(pool, extent, frame.otherEnd(pool, extent));
}

// ---- primordial pool and disk extents ----

// Every disk extent with the first primordial pool; with a given disk
// index only that disk.
bool primordialDisks(Frame& frame, int givenDisk)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_PrimordialStoragePool_Resource pools(frame.storage());
        if (!buildList(pools, &VELDARO_PrimordialStoragePool_Resource::createPrimordialStoragePool))
            return false;
        VELDARO_DiskExtent_Resource disks(frame.storage());
        const Index_Range range =
            givenDisk < 0 ? Index_Range::all(Table_Entries::DISKS) : Index_Range{givenDisk, givenDisk + 1};
        return Fixed_End_Walk::pairs<CIM_ConcreteComponent, VELDARO_DiskExtent>(
            frame, firstListed(pools), Fixed_End_Walk::Fixed::FIRST, range, Fixed_End_Walk::Far::OTHER_END, true,
            Association_End<VELDARO_DiskExtent>::byIndex(disks));
    });
}

// ---- RAID group pools ----

constexpr const char* NO_COMPOSITE =
    "Table access conflict - Can't create RAIDCompositeExtent by RLUN that could create RAIDStoragePool: %d";

bool raidComposites(Frame& frame, int entry)
{
    VELDARO_RefTable table(frame.storage().c_str());
    VELDARO_RAIDStoragePool_Resource pools(frame.storage());
    VELDARO_RAIDCompositeExtent_Resource composites(frame.storage());
    return Same_Index_Walk::resourcePairs<CIM_ConcreteComponent, VELDARO_RAIDStoragePool, VELDARO_RAIDCompositeExtent>(
        frame, frame.walk(entry, static_cast<int>(table.getRLUMaxCount())), Same_Index_Walk::Far::OTHER_END, true,
        {NO_COMPOSITE}, __FILE__, __LINE__, pools, composites);
}

bool raidFreeExtents(Frame& frame, int entry)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_RAIDStoragePool_Resource pools(frame.storage());
        VELDARO_FreeExtent_Resource frees(frame.storage());
        return Free_Extent_List::eachGroup<VELDARO_RAIDStoragePool>(
            pools, frees, frame.walk(entry, static_cast<int>(table.getRLUMaxCount())),
            [&](auto& pool, VELDARO_FreeExtent* free, std::size_t) { emit(frame, pool.copy(), free); });
    });
}

// A RAID composite extent given: its pool.
bool compositeToPool(Frame& frame, int rlu)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        auto pool =
            Association_End<VELDARO_RAIDStoragePool>::build(VELDARO_RAIDStoragePool_Resource(frame.storage()), rlu);
        if (pool.failed())
            return false;
        if (!pool.built())
            return true;
        auto composite = Association_End<VELDARO_RAIDCompositeExtent>::build(
            VELDARO_RAIDCompositeExtent_Resource(frame.storage()), rlu);
        if (composite.failed())
            return false;
        if (!composite.built()) {
            SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE, NO_COMPOSITE, rlu);
            return false;
        }
        emit(frame, pool.release(), composite.release());
        return true;
    });
}

// A free extent given (its place in the group's free list): its pool. A
// place beyond the current list relates nothing.
bool freeExtentToPool(Frame& frame, int rlu, int place)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        auto pool =
            Association_End<VELDARO_RAIDStoragePool>::build(VELDARO_RAIDStoragePool_Resource(frame.storage()), rlu);
        if (pool.failed())
            return false;
        if (!pool.built())
            return true;
        Free_Extent_List list;
        VELDARO_FreeExtent_Resource frees(frame.storage());
        if (!list.build(frees, rlu))
            return false;
        if (place < 0 || static_cast<std::size_t>(place) >= list.size())
            return true;
        emit(frame, pool.release(), list.take(static_cast<std::size_t>(place)));
        return true;
    });
}

// ---- pools and extents that share one table index ----

// Pool i with the extent of index i over a table of count entries (one
// entry in a request); a pool without its extent is dropped silently.
template <class PoolResource, class Pool, class ExtentResource, class Extent>
bool sameIndexPairs(Frame& frame, int entry, int count)
{
    PoolResource pools(frame.storage());
    ExtentResource extents(frame.storage());
    return Same_Index_Walk::resourcePairs<CIM_ConcreteComponent, Pool, Extent>(
        frame, frame.walk(entry, count), Same_Index_Walk::Far::OTHER_END, true, Same_Index_Walk::PASS_OVER, __FILE__,
        __LINE__, pools, extents);
}

bool sdpvPairs(Frame& frame, int entry)
{
    int count = 0;
    {
        VELDARO_RefTable table(frame.storage().c_str());
        count = static_cast<int>(table.getSLUMaxCount());
    }
    return sameIndexPairs<VELDARO_SDPVPool_Resource, VELDARO_SDPVPool, VELDARO_SDPVExtent_Resource,
                          VELDARO_SDPVExtent>(frame, entry, count);
}

bool thinExtents(Frame& frame, int entry)
{
    return sameIndexPairs<VELDARO_ThinProvisioningPool_Resource, VELDARO_ThinProvisioningPool,
                          VELDARO_ThinProvisioningExtent_Resource, VELDARO_ThinProvisioningExtent>(
        frame, entry, Table_Entries::THIN_POOLS);
}

bool thinFreeExtents(Frame& frame, int entry)
{
    return sameIndexPairs<VELDARO_ThinProvisioningPool_Resource, VELDARO_ThinProvisioningPool,
                          VELDARO_ThinProvisioningFreeExtent_Resource, VELDARO_ThinProvisioningFreeExtent>(
        frame, entry, Table_Entries::THIN_POOLS);
}

bool tieringExtents(Frame& frame, int entry)
{
    return sameIndexPairs<VELDARO_LayerixPool_Resource, VELDARO_LayerixPool, VELDARO_LayerixExtent_Resource,
                          VELDARO_LayerixExtent>(frame, entry, Table_Entries::LAYERIX_POOLS);
}

bool tieringSubExtents(Frame& frame, int entry)
{
    return sameIndexPairs<VELDARO_LayerixSubPool_Resource, VELDARO_LayerixSubPool, VELDARO_LayerixSubExtent_Resource,
                          VELDARO_LayerixSubExtent>(frame, entry, Table_Entries::THIN_POOLS);
}

// ---- snapshot data pools ----

// Each pool (in a request only the first whose InstanceID is poolKey) with
// the first composite extent of its SDPID.
bool snapDataPairs(Frame& frame, const char* poolKey)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        return Snap_Data_Pairs::poolsWithComposites(
            frame.storage(), poolKey, [&](auto* pool, auto* extent) { emit(frame, clone(pool), clone(extent)); });
    });
}

// A composite extent given by DeviceID: the first pool of its SDPID.
bool snapDataExtentToPool(Frame& frame, const char* extentKey)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        return Snap_Data_Pairs::compositeWithPool(
            frame.storage(), extentKey, [&](auto* pool, auto* extent) { emit(frame, clone(pool), clone(extent)); });
    });
}

// The place of a free extent in its group's free list, from its key.
int freeExtentPlace(const Instance* source)
{
    std::uint16_t number = 0;
    int place = 0;
    const char* key = Common::keyText(source, "DeviceID");
    return key && VELDARO_FreeExtent_Resource::divide_DeviceID(key, &number, &place) ? place : -1;
}

using Find = int (VELDARO_RefTable::*)(std::uint16_t) const;
constexpr Find RLU = &VELDARO_RefTable::searchRlunFromRluTable;
constexpr Find TPP = &VELDARO_RefTable::searchPoolNoFromTppTable;
constexpr Find LXRP = &VELDARO_RefTable::searchPoolNoFromLxrpTable;
constexpr auto POOL = Common::BY_INSTANCE_ID;
constexpr auto EXTENT = Common::BY_SYSTEM_NAME;
// An extent whose SystemName names no configured array: as for any other
// source of its class.
constexpr bool ASK = true;

const Frame::Source_Route ROUTES[] = {
    {&VELDARO_PrimordialStoragePool::static_meta_class, POOL, nullptr,
     [](Frame& frame, const Instance*, int) { return primordialDisks(frame, -1); }},
    {&VELDARO_DiskExtent::static_meta_class, EXTENT,
     Key_Index::of<&VELDARO_DiskExtent_Resource::divide_DeviceID, &VELDARO_RefTable::searchPlunFromDiskTable,
                   Key_Index::DEVICE_ID>,
     [](Frame& frame, const Instance*, int disk) { return primordialDisks(frame, disk); }, ASK},
    {&VELDARO_RAIDStoragePool::static_meta_class, POOL,
     Key_Index::of<&VELDARO_RAIDStoragePool_Resource::divide_InstanceID, RLU, Key_Index::INSTANCE_ID>,
     [](Frame& frame, const Instance*, int rlu) { return raidComposites(frame, rlu) && raidFreeExtents(frame, rlu); }},
    {&VELDARO_RAIDCompositeExtent::static_meta_class, EXTENT,
     Key_Index::of<&VELDARO_RAIDCompositeExtent_Resource::divide_DeviceID, RLU, Key_Index::DEVICE_ID>,
     [](Frame& frame, const Instance*, int rlu) { return compositeToPool(frame, rlu); }, ASK},
    {&VELDARO_FreeExtent::static_meta_class, EXTENT,
     Key_Index::of<&VELDARO_FreeExtent_Resource::divide_DeviceID, RLU, Key_Index::DEVICE_ID>,
     [](Frame& frame, const Instance* source, int rlu) {
         return freeExtentToPool(frame, rlu, freeExtentPlace(source));
     },
     ASK},
    {&VELDARO_SDPVPool::static_meta_class, POOL,
     Key_Index::snapDataVolume<&VELDARO_SDPVPool_Resource::divide_InstanceID, Key_Index::INSTANCE_ID>,
     [](Frame& frame, const Instance*, int slu) { return sdpvPairs(frame, slu); }},
    {&VELDARO_SDPVExtent::static_meta_class, EXTENT,
     Key_Index::snapDataVolume<&VELDARO_SDPVExtent_Resource::divide_DeviceID, Key_Index::DEVICE_ID>,
     [](Frame& frame, const Instance*, int slu) { return sdpvPairs(frame, slu); }, ASK},
    {&VELDARO_SnapDataPool::static_meta_class, POOL, nullptr,
     [](Frame& frame, const Instance* source, int) {
         const char* key = Common::keyText(source, "InstanceID");
         return key == nullptr || snapDataPairs(frame, key);
     }},
    {&VELDARO_SnapDataCompositeExtent::static_meta_class, EXTENT, nullptr,
     [](Frame& frame, const Instance* source, int) {
         const char* key = Common::keyText(source, "DeviceID");
         return key == nullptr || snapDataExtentToPool(frame, key);
     },
     ASK},
    {&VELDARO_ThinProvisioningPool::static_meta_class, POOL,
     Key_Index::of<&VELDARO_ThinProvisioningPool_Resource::divide_InstanceID, TPP, Key_Index::INSTANCE_ID>,
     [](Frame& frame, const Instance*, int tpp) { return thinExtents(frame, tpp) && thinFreeExtents(frame, tpp); }},
    {&VELDARO_ThinProvisioningExtent::static_meta_class, EXTENT,
     Key_Index::of<&VELDARO_ThinProvisioningExtent_Resource::divide_DeviceID, TPP, Key_Index::DEVICE_ID>,
     [](Frame& frame, const Instance*, int tpp) { return thinExtents(frame, tpp); }, ASK},
    {&VELDARO_ThinProvisioningFreeExtent::static_meta_class, EXTENT,
     Key_Index::of<&VELDARO_ThinProvisioningFreeExtent_Resource::divide_DeviceID, TPP, Key_Index::DEVICE_ID>,
     [](Frame& frame, const Instance*, int tpp) { return thinFreeExtents(frame, tpp); }, ASK},
    {&VELDARO_LayerixPool::static_meta_class, POOL,
     Key_Index::of<&VELDARO_LayerixPool_Resource::divide_InstanceID, LXRP, Key_Index::INSTANCE_ID>,
     [](Frame& frame, const Instance*, int lxrp) { return tieringExtents(frame, lxrp); }},
    {&VELDARO_LayerixSubPool::static_meta_class, POOL,
     Key_Index::of<&VELDARO_LayerixSubPool_Resource::divide_InstanceID, TPP, Key_Index::INSTANCE_ID>,
     [](Frame& frame, const Instance*, int tpp) { return tieringSubExtents(frame, tpp); }},
    {&VELDARO_LayerixExtent::static_meta_class, EXTENT,
     Key_Index::of<&VELDARO_LayerixExtent_Resource::divide_DeviceID, LXRP, Key_Index::DEVICE_ID>,
     [](Frame& frame, const Instance*, int lxrp) { return tieringExtents(frame, lxrp); }, ASK},
    {&VELDARO_LayerixSubExtent::static_meta_class, EXTENT,
     Key_Index::of<&VELDARO_LayerixSubExtent_Resource::divide_DeviceID, TPP, Key_Index::DEVICE_ID>,
     [](Frame& frame, const Instance*, int tpp) { return tieringSubExtents(frame, tpp); }, ASK},
};

}  // namespace

CIM_ConcreteComponent_Provider::CIM_ConcreteComponent_Provider() {}

CIM_ConcreteComponent_Provider::~CIM_ConcreteComponent_Provider() {}

bool CIM_ConcreteComponent_Provider::_enumPairs()
{
    return primordialDisks(*this, -1) && raidComposites(*this, 0) && raidFreeExtents(*this, 0) &&
           sdpvPairs(*this, 0) && snapDataPairs(*this, nullptr) && thinExtents(*this, 0) &&
           thinFreeExtents(*this, 0) && tieringExtents(*this, 0) && tieringSubExtents(*this, 0);
}

int CIM_ConcreteComponent_Provider::_request(const Instance* source)
{
    return route(source, ROUTES);
}

}  // namespace cimple
