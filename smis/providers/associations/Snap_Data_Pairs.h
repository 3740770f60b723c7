#pragma once
// Snapshot data pools with their composite extents: a pool and an extent
// belong together when their SDP ids are equal (a null id matches nothing).
// Both lists come from list builders; pair(pool, extent) gets the lists'
// own elements (clone what an association takes).

#include <cstddef>
#include <cstring>

#include "Association_End.h"
#include "VELDARO_SnapDataCompositeExtent.h"
#include "VELDARO_SnapDataCompositeExtent_Resource.h"
#include "VELDARO_SnapDataPool.h"
#include "VELDARO_SnapDataPool_Resource.h"

namespace cimple {

struct Snap_Data_Pairs {
    static bool sameSdp(const Property<uint32>& a, const Property<uint32>& b)
    {
        return !a.null && !b.null && a.value == b.value;
    }
    static bool sameText(const Property<String>& p, const char* text)
    {
        return text && !p.null && std::strcmp(p.value.c_str(), text) == 0;
    }

    // Each pool (only the first whose InstanceID is poolKey, when given)
    // with the first composite extent of its SDP id. The pools are built
    // only when there is an extent. False when a builder fails.
    template <class Pair>
    static bool poolsWithComposites(const String& storage, const char* poolKey, Pair pair)
    {
        VELDARO_SnapDataCompositeExtent_Resource extents(storage);
        if (!buildList(extents, &VELDARO_SnapDataCompositeExtent_Resource::createSnapDataCompositeExtent))
            return false;
        if (extents.list().size() == 0)
            return true;
        VELDARO_SnapDataPool_Resource pools(storage);
        if (!buildList(pools, &VELDARO_SnapDataPool_Resource::createSnapDataPool))
            return false;
        for (std::size_t p = 0; p < pools.list().size(); ++p) {
            const VELDARO_SnapDataPool* pool = pools.list()[p];
            if (!pool || (poolKey && !sameText(pool->InstanceID, poolKey)))
                continue;
            for (std::size_t e = 0; e < extents.list().size(); ++e) {
                const VELDARO_SnapDataCompositeExtent* extent = extents.list()[e];
                if (extent && sameSdp(extent->SDPID, pool->SDPID)) {
                    pair(pool, extent);
                    break;
                }
            }
            if (poolKey)
                break;
        }
        return true;
    }

    // The composite extent whose DeviceID is extentKey with the first pool
    // of its SDP id. The extents are built only when there is a pool.
    template <class Pair>
    static bool compositeWithPool(const String& storage, const char* extentKey, Pair pair)
    {
        VELDARO_SnapDataPool_Resource pools(storage);
        if (!buildList(pools, &VELDARO_SnapDataPool_Resource::createSnapDataPool))
            return false;
        if (pools.list().size() == 0)
            return true;
        VELDARO_SnapDataCompositeExtent_Resource extents(storage);
        if (!buildList(extents, &VELDARO_SnapDataCompositeExtent_Resource::createSnapDataCompositeExtent))
            return false;
        const VELDARO_SnapDataCompositeExtent* extent = nullptr;
        for (std::size_t e = 0; e < extents.list().size() && !extent; ++e)
            if (extents.list()[e] && sameText(extents.list()[e]->DeviceID, extentKey))
                extent = extents.list()[e];
        if (!extent)
            return true;
        for (std::size_t p = 0; p < pools.list().size(); ++p)
            if (pools.list()[p] && sameSdp(pools.list()[p]->SDPID, extent->SDPID)) {
                pair(pools.list()[p], extent);
                break;
            }
        return true;
    }
};

}  // namespace cimple
