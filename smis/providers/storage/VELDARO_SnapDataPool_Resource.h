#pragma once
// Builds the VELDARO_SnapDataPool instances of one array at once: one per
// snapshot data pool that the array's pool status reports. Also used by the
// association providers.

#include <cimple/cimple.h>

#include <cstdint>

#include "SMIS_CopyLib.h"
#include "VELDARO_SnapDataPool.h"

namespace cimple {

class VELDARO_SnapDataPool_Resource {
public:
    explicit VELDARO_SnapDataPool_Resource(const String& storage) : _storage(storage) {}
    ~VELDARO_SnapDataPool_Resource();
    VELDARO_SnapDataPool_Resource(const VELDARO_SnapDataPool_Resource&) = delete;
    VELDARO_SnapDataPool_Resource& operator=(const VELDARO_SnapDataPool_Resource&) = delete;

    // 0 built (possibly nothing), 1 error, 2 the array's table is not valid.
    int createSnapDataPool();

    // The instances built, owned by the builder.
    Array<VELDARO_SnapDataPool*>& list() { return _list; }

    // The k-th (0-5) 64-bit capacity value of a pool record, in blocks: the
    // record's twelve 32-bit words read as six values, low word first.
    static std::uint64_t capacityValue(const SMIS_COPY_SDP_INFO& record, int k);

private:
    Array<VELDARO_SnapDataPool*> _list;
    String _storage;
};

}  // namespace cimple
