// Every storage pool of an array and the extents that make it up: the
// primordial pool and every disk extent, each RAID group pool and its
// composite and free extents, each SDPV pool and its extent, each snapshot
// data pool and its composite extent (matched by SDPID), each thin pool and
// its extent and free extent, each tiering pool and its extent, each tiering
// sub-pool and its sub-extent.

#include "Association_End.h"
#include "CIM_ConcreteComponent_Provider.h"

#include "CIM_ConcreteComponent.h"
#include "Fixed_End_Walk.h"
#include "Free_Extent_List.h"
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

constexpr std::uint8_t LU_TYPE_SDP = 7;

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
        const auto range = frame.walk(entry, static_cast<int>(table.getRLUMaxCount()));
        for (int rlu = range.begin; rlu < range.end; ++rlu) {
            auto pool = Association_End<VELDARO_RAIDStoragePool>::build(pools, rlu);
            if (pool.failed())
                return false;
            if (!pool.built())
                continue;
            Free_Extent_List list;
            if (!list.build(frees, rlu))
                return false;
            for (std::size_t k = 0; k < list.size(); ++k)
                emit(frame, pool.copy(), list.take(k));
        }
        return true;
    });
}

// A RAID composite extent given: its pool.
bool compositeToPool(Frame& frame, int rlu)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        auto pool = Association_End<VELDARO_RAIDStoragePool>::build(VELDARO_RAIDStoragePool_Resource(frame.storage()), rlu);
        if (pool.failed())
            return false;
        if (!pool.built())
            return true;
        auto composite = Association_End<VELDARO_RAIDCompositeExtent>::build(VELDARO_RAIDCompositeExtent_Resource(frame.storage()), rlu);
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
        auto pool = Association_End<VELDARO_RAIDStoragePool>::build(VELDARO_RAIDStoragePool_Resource(frame.storage()), rlu);
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
                          VELDARO_ThinProvisioningExtent_Resource, VELDARO_ThinProvisioningExtent>(frame, entry,
                                                                                                   Table_Entries::THIN_POOLS);
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
        return Snap_Data_Pairs::poolsWithComposites(frame.storage(), poolKey, [&](auto* pool, auto* extent) {
            emit(frame, clone(pool), clone(extent));
        });
    });
}

// A composite extent given by DeviceID: the first pool of its SDPID.
bool snapDataExtentToPool(Frame& frame, const char* extentKey)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        return Snap_Data_Pairs::compositeWithPool(frame.storage(), extentKey, [&](auto* pool, auto* extent) {
            emit(frame, clone(pool), clone(extent));
        });
    });
}

const char* keyText(const Instance* source, const char* name)
{
    const String* value = Common::stringValue(source, name);
    return value ? value->c_str() : nullptr;
}

enum Source_Kind {
    NOT_RELATED,
    PRIMORDIAL_POOL,
    DISK_EXTENT,
    RAID_POOL,
    RAID_COMPOSITE,
    FREE_EXTENT,
    SDPV_POOL,
    SDPV_EXTENT,
    SNAP_POOL,
    SNAP_EXTENT,
    THIN_POOL,
    THIN_EXTENT,
    THIN_FREE_EXTENT,
    TIERING_POOL,
    TIERING_SUB_POOL,
    TIERING_EXTENT,
    TIERING_SUB_EXTENT,
};

struct Source_Class {
    const Meta_Class* mc;
    Source_Kind kind;
    bool pool;  // keyed by InstanceID; otherwise an extent keyed by SystemName
};

const Source_Class SOURCES[] = {
    {&VELDARO_PrimordialStoragePool::static_meta_class, PRIMORDIAL_POOL, true},
    {&VELDARO_DiskExtent::static_meta_class, DISK_EXTENT, false},
    {&VELDARO_RAIDStoragePool::static_meta_class, RAID_POOL, true},
    {&VELDARO_RAIDCompositeExtent::static_meta_class, RAID_COMPOSITE, false},
    {&VELDARO_FreeExtent::static_meta_class, FREE_EXTENT, false},
    {&VELDARO_SDPVPool::static_meta_class, SDPV_POOL, true},
    {&VELDARO_SDPVExtent::static_meta_class, SDPV_EXTENT, false},
    {&VELDARO_SnapDataPool::static_meta_class, SNAP_POOL, true},
    {&VELDARO_SnapDataCompositeExtent::static_meta_class, SNAP_EXTENT, false},
    {&VELDARO_ThinProvisioningPool::static_meta_class, THIN_POOL, true},
    {&VELDARO_ThinProvisioningExtent::static_meta_class, THIN_EXTENT, false},
    {&VELDARO_ThinProvisioningFreeExtent::static_meta_class, THIN_FREE_EXTENT, false},
    {&VELDARO_LayerixPool::static_meta_class, TIERING_POOL, true},
    {&VELDARO_LayerixSubPool::static_meta_class, TIERING_SUB_POOL, true},
    {&VELDARO_LayerixExtent::static_meta_class, TIERING_EXTENT, false},
    {&VELDARO_LayerixSubExtent::static_meta_class, TIERING_SUB_EXTENT, false},
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
    const Source_Class* match = nullptr;
    for (const Source_Class& c : SOURCES) {
        if (Common::isOf(source, *c.mc)) {
            match = &c;
            break;
        }
    }
    if (!match)
        return Common::checkProviderClass(source);
    String address;
    if (match->pool) {
        // A pool key without a storage address relates nothing.
        if (!Common::storageFromKeySuffix(source, "InstanceID", address))
            return 0;
    } else if (!Common::storageFromProperty(source, "SystemName", address)) {
        return Common::checkProviderClass(source);
    }

    const char* instanceId = keyText(source, "InstanceID");
    const char* deviceId = keyText(source, "DeviceID");
    return onStorage(address, [&](VELDARO_RefTable& table) {
        std::uint16_t number = 0;
        switch (match->kind) {
        case PRIMORDIAL_POOL:
            return primordialDisks(*this, -1);
        case DISK_EXTENT: {
            if (!VELDARO_DiskExtent_Resource::divide_DeviceID(deviceId, &number))
                return true;
            const int disk = table.searchPlunFromDiskTable(number);
            return disk < 0 || primordialDisks(*this, disk);
        }
        case RAID_POOL: {
            if (!VELDARO_RAIDStoragePool_Resource::divide_InstanceID(instanceId, &number))
                return true;
            const int rlu = table.searchRlunFromRluTable(number);
            return rlu < 0 || (raidComposites(*this, rlu) && raidFreeExtents(*this, rlu));
        }
        case RAID_COMPOSITE: {
            if (!VELDARO_RAIDCompositeExtent_Resource::divide_DeviceID(deviceId, &number))
                return true;
            const int rlu = table.searchRlunFromRluTable(number);
            return rlu < 0 || compositeToPool(*this, rlu);
        }
        case FREE_EXTENT: {
            int place = 0;
            if (!VELDARO_FreeExtent_Resource::divide_DeviceID(deviceId, &number, &place))
                return true;
            const int rlu = table.searchRlunFromRluTable(number);
            return rlu < 0 || freeExtentToPool(*this, rlu, place);
        }
        case SDPV_POOL:
        case SDPV_EXTENT: {
            const bool parsed = match->kind == SDPV_POOL
                                    ? VELDARO_SDPVPool_Resource::divide_InstanceID(instanceId, &number)
                                    : VELDARO_SDPVExtent_Resource::divide_DeviceID(deviceId, &number);
            if (!parsed)
                return true;
            const int slu = table.searchLunByLuTypeFromSluTable(LU_TYPE_SDP, number);
            return slu < 0 || sdpvPairs(*this, slu);
        }
        case SNAP_POOL:
            return instanceId == nullptr || snapDataPairs(*this, instanceId);
        case SNAP_EXTENT:
            return deviceId == nullptr || snapDataExtentToPool(*this, deviceId);
        case THIN_POOL: {
            if (!VELDARO_ThinProvisioningPool_Resource::divide_InstanceID(instanceId, &number))
                return true;
            const int tpp = table.searchPoolNoFromTppTable(number);
            return tpp < 0 || (thinExtents(*this, tpp) && thinFreeExtents(*this, tpp));
        }
        case THIN_EXTENT:
        case THIN_FREE_EXTENT: {
            int place = 0;
            const bool parsed =
                match->kind == THIN_EXTENT
                    ? VELDARO_ThinProvisioningExtent_Resource::divide_DeviceID(deviceId, &number)
                    : VELDARO_ThinProvisioningFreeExtent_Resource::divide_DeviceID(deviceId, &number, &place);
            if (!parsed)
                return true;
            const int tpp = table.searchPoolNoFromTppTable(number);
            if (tpp < 0)
                return true;
            return match->kind == THIN_EXTENT ? thinExtents(*this, tpp) : thinFreeExtents(*this, tpp);
        }
        case TIERING_POOL:
        case TIERING_EXTENT: {
            const bool parsed = match->kind == TIERING_POOL
                                    ? VELDARO_LayerixPool_Resource::divide_InstanceID(instanceId, &number)
                                    : VELDARO_LayerixExtent_Resource::divide_DeviceID(deviceId, &number);
            if (!parsed)
                return true;
            const int lxrp = table.searchPoolNoFromLxrpTable(number);
            return lxrp < 0 || tieringExtents(*this, lxrp);
        }
        case TIERING_SUB_POOL:
        case TIERING_SUB_EXTENT: {
            const bool parsed = match->kind == TIERING_SUB_POOL
                                    ? VELDARO_LayerixSubPool_Resource::divide_InstanceID(instanceId, &number)
                                    : VELDARO_LayerixSubExtent_Resource::divide_DeviceID(deviceId, &number);
            if (!parsed)
                return true;
            const int tpp = table.searchPoolNoFromTppTable(number);
            return tpp < 0 || tieringSubExtents(*this, tpp);
        }
        default:
            return true;
        }
    });
}

}  // namespace cimple
