// Each storage pool with the extents that make it up: the primordial pool
// with the disks, and every other pool with its own extent.

#include "CIM_AssociatedComponentExtent_Provider.h"

#include <new>

#include "CIM_AssociatedComponentExtent.h"
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
#include "Table_Entries.h"

namespace cimple {

namespace {

using Frame = Association_Parent_Frame;
using Common = Association_Provider_Frame;

constexpr std::uint8_t LU_SDP = 7;

// The far end is lent as built.
void emit(Frame& frame, Instance* pool, Instance* extent)
{
    Instance* far = frame.otherEnd(pool, extent);
    Instance* made = Common::newAssociation(&CIM_AssociatedComponentExtent::static_meta_class, pool, extent);
    if (!made)
        throw std::bad_alloc();
    frame.deliver(made, far, false);
}

// The primordial pool with every disk extent, or with the one given disk.
bool primordialToDiskExtents(Frame& frame, int oneDisk)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_PrimordialStoragePool_Resource pools(frame.storage());
        if (pools.createPrimordialStoragePool() == 1)
            return false;
        if (pools.list().size() == 0 || !pools.list()[0])
            return true;
        VELDARO_DiskExtent_Resource disks(frame.storage());
        const int begin = oneDisk < 0 ? 0 : oneDisk;
        const int end = oneDisk < 0 ? Table_Entries::DISKS : oneDisk + 1;
        for (int disk = begin; disk < end; ++disk) {
            VELDARO_DiskExtent* made = nullptr;
            if (disks.createInstance(made, disk) != 0)
                return false;
            Owned<VELDARO_DiskExtent> extent(made);
            if (extent)
                emit(frame, clone(pools.list()[0]), extent.release());
        }
        return true;
    });
}

// A pool and the extent of the same table index.
template <class PoolResource, class Pool, class ExtentResource, class Extent>
bool sameIndex(Frame& frame, int entry, int count)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        PoolResource pools(frame.storage());
        ExtentResource extents(frame.storage());
        const auto range = frame.walk(entry, count);
        for (int i = range.begin; i < range.end; ++i) {
            Pool* builtPool = nullptr;
            if (pools.createInstance(builtPool, i) != 0)
                return false;
            Owned<Pool> pool(builtPool);
            if (!pool)
                continue;
            Extent* builtExtent = nullptr;
            if (extents.createInstance(builtExtent, i) != 0)
                return false;
            Owned<Extent> extent(builtExtent);
            if (extent)
                emit(frame, pool.release(), extent.release());
        }
        return true;
    });
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
                     VELDARO_ThinProvisioningExtent_Resource, VELDARO_ThinProvisioningExtent>(frame, tpp, Table_Entries::THIN_POOLS);
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

bool sameSdp(const Property<uint32>& a, const Property<uint32>& b)
{
    return !a.null && !b.null && a.value == b.value;
}

// Each snapshot data pool (or the one whose InstanceID is given) with the
// first composite extent of its SDP id.
bool snapDataPoolToCompositeExtent(Frame& frame, const String* instanceId)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_SnapDataCompositeExtent_Resource extents(frame.storage());
        if (extents.createSnapDataCompositeExtent() == 1)
            return false;
        if (extents.list().size() == 0)
            return true;
        VELDARO_SnapDataPool_Resource pools(frame.storage());
        if (pools.createSnapDataPool() == 1)
            return false;
        for (std::size_t p = 0; p < pools.list().size(); ++p) {
            VELDARO_SnapDataPool* pool = pools.list()[p];
            if (!pool)
                continue;
            if (instanceId && (pool->InstanceID.null || !(pool->InstanceID.value == *instanceId)))
                continue;
            for (std::size_t e = 0; e < extents.list().size(); ++e) {
                VELDARO_SnapDataCompositeExtent* extent = extents.list()[e];
                if (extent && sameSdp(extent->SDPID, pool->SDPID)) {
                    emit(frame, clone(pool), clone(extent));
                    break;
                }
            }
            if (instanceId)
                break;
        }
        return true;
    });
}

bool compositeExtentToSnapDataPool(Frame& frame, const String& deviceId)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_SnapDataPool_Resource pools(frame.storage());
        if (pools.createSnapDataPool() == 1)
            return false;
        if (pools.list().size() == 0)
            return true;
        VELDARO_SnapDataCompositeExtent_Resource extents(frame.storage());
        if (extents.createSnapDataCompositeExtent() == 1)
            return false;
        const VELDARO_SnapDataCompositeExtent* extent = nullptr;
        for (std::size_t e = 0; e < extents.list().size() && !extent; ++e)
            if (extents.list()[e] && !extents.list()[e]->DeviceID.null && extents.list()[e]->DeviceID.value == deviceId)
                extent = extents.list()[e];
        if (!extent)
            return true;
        for (std::size_t p = 0; p < pools.list().size(); ++p)
            if (pools.list()[p] && sameSdp(pools.list()[p]->SDPID, extent->SDPID)) {
                emit(frame, clone(pools.list()[p]), clone(extent));
                break;
            }
        return true;
    });
}

enum class Source {
    NONE, PRIMORDIAL, DISK, RAID_POOL, RAID_EXTENT, SDPV_POOL, SDPV_EXTENT, SNAP_POOL, SNAP_EXTENT,
    THIN_POOL, THIN_EXTENT, TIER_POOL, TIER_EXTENT, SUB_POOL, SUB_EXTENT,
};

Source sourceKind(const Instance* source, bool& isPool)
{
    const struct {
        const Meta_Class& mc;
        Source kind;
        bool pool;
    } kinds[] = {
        {VELDARO_PrimordialStoragePool::static_meta_class, Source::PRIMORDIAL, true},
        {VELDARO_DiskExtent::static_meta_class, Source::DISK, false},
        {VELDARO_RAIDStoragePool::static_meta_class, Source::RAID_POOL, true},
        {VELDARO_RAIDCompositeExtent::static_meta_class, Source::RAID_EXTENT, false},
        {VELDARO_SDPVPool::static_meta_class, Source::SDPV_POOL, true},
        {VELDARO_SDPVExtent::static_meta_class, Source::SDPV_EXTENT, false},
        {VELDARO_SnapDataPool::static_meta_class, Source::SNAP_POOL, true},
        {VELDARO_SnapDataCompositeExtent::static_meta_class, Source::SNAP_EXTENT, false},
        {VELDARO_ThinProvisioningPool::static_meta_class, Source::THIN_POOL, true},
        {VELDARO_ThinProvisioningExtent::static_meta_class, Source::THIN_EXTENT, false},
        {VELDARO_LayerixPool::static_meta_class, Source::TIER_POOL, true},
        {VELDARO_LayerixExtent::static_meta_class, Source::TIER_EXTENT, false},
        {VELDARO_LayerixSubPool::static_meta_class, Source::SUB_POOL, true},
        {VELDARO_LayerixSubExtent::static_meta_class, Source::SUB_EXTENT, false},
    };
    for (const auto& k : kinds)
        if (Common::isOf(source, k.mc)) {
            isPool = k.pool;
            return k.kind;
        }
    return Source::NONE;
}

// The number a key parser reads; false when the key is absent or does not
// parse.
template <class Parse>
bool keyNumber(const Instance* source, const char* property, Parse parse)
{
    const String* key = Common::stringValue(source, property);
    return key && parse(key->c_str());
}

bool pairsOfSource(Frame& frame, const VELDARO_RefTable& table, const Instance* source, Source kind)
{
    std::uint16_t n = 0;
    auto id = [&](auto parse) { return keyNumber(source, "InstanceID", parse); };
    auto device = [&](auto parse) { return keyNumber(source, "DeviceID", parse); };
    switch (kind) {
    case Source::PRIMORDIAL:
        return primordialToDiskExtents(frame, -1);
    case Source::DISK: {
        const int disk = device([&](const char* k) { return VELDARO_DiskExtent_Resource::divide_DeviceID(k, &n); })
                             ? table.searchPlunFromDiskTable(n)
                             : -1;
        return disk < 0 || primordialToDiskExtents(frame, disk);
    }
    case Source::RAID_POOL:
    case Source::RAID_EXTENT: {
        const bool parsed =
            kind == Source::RAID_POOL
                ? id([&](const char* k) { return VELDARO_RAIDStoragePool_Resource::divide_InstanceID(k, &n); })
                : device([&](const char* k) { return VELDARO_RAIDCompositeExtent_Resource::divide_DeviceID(k, &n); });
        const int rlu = parsed ? table.searchRlunFromRluTable(n) : -1;
        return rlu < 0 || raidPoolToCompositeExtent(frame, rlu);
    }
    case Source::SDPV_POOL:
    case Source::SDPV_EXTENT: {
        const bool parsed =
            kind == Source::SDPV_POOL
                ? id([&](const char* k) { return VELDARO_SDPVPool_Resource::divide_InstanceID(k, &n); })
                : device([&](const char* k) { return VELDARO_SDPVExtent_Resource::divide_DeviceID(k, &n); });
        const int slu = parsed ? table.searchLunByLuTypeFromSluTable(LU_SDP, n) : -1;
        return slu < 0 || sdpvPoolToExtent(frame, slu);
    }
    case Source::SNAP_POOL:
        return snapDataPoolToCompositeExtent(frame, Common::stringValue(source, "InstanceID"));
    case Source::SNAP_EXTENT: {
        const String* deviceId = Common::stringValue(source, "DeviceID");
        return !deviceId || compositeExtentToSnapDataPool(frame, *deviceId);
    }
    case Source::THIN_POOL:
    case Source::THIN_EXTENT: {
        const bool parsed =
            kind == Source::THIN_POOL
                ? id([&](const char* k) { return VELDARO_ThinProvisioningPool_Resource::divide_InstanceID(k, &n); })
                : device([&](const char* k) {
                      return VELDARO_ThinProvisioningExtent_Resource::divide_DeviceID(k, &n);
                  });
        const int tpp = parsed ? table.searchPoolNoFromTppTable(n) : -1;
        return tpp < 0 || thinPoolToExtent(frame, tpp);
    }
    case Source::TIER_POOL:
    case Source::TIER_EXTENT: {
        const bool parsed =
            kind == Source::TIER_POOL
                ? id([&](const char* k) { return VELDARO_LayerixPool_Resource::divide_InstanceID(k, &n); })
                : device([&](const char* k) { return VELDARO_LayerixExtent_Resource::divide_DeviceID(k, &n); });
        const int lxrp = parsed ? table.searchPoolNoFromLxrpTable(n) : -1;
        return lxrp < 0 || layerixPoolToExtent(frame, lxrp);
    }
    case Source::SUB_POOL:
    case Source::SUB_EXTENT: {
        const bool parsed =
            kind == Source::SUB_POOL
                ? id([&](const char* k) { return VELDARO_LayerixSubPool_Resource::divide_InstanceID(k, &n); })
                : device([&](const char* k) { return VELDARO_LayerixSubExtent_Resource::divide_DeviceID(k, &n); });
        const int tpp = parsed ? table.searchPoolNoFromTppTable(n) : -1;
        return tpp < 0 || subPoolToSubExtent(frame, tpp);
    }
    default:
        return true;
    }
}

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
    bool isPool = false;
    const Source kind = sourceKind(source, isPool);
    if (kind == Source::NONE)
        return Common::checkProviderClass(source);
    String address;
    const bool found = isPool ? Common::storageFromKeySuffix(source, "InstanceID", address)
                              : Common::storageFromProperty(source, "SystemName", address);
    if (!found)
        return 0;
    return onStorage(address, [&](VELDARO_RefTable& table) { return pairsOfSource(*this, table, source, kind); });
}

}  // namespace cimple
