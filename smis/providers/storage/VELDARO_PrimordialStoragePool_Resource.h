#pragma once
// Builds the one VELDARO_PrimordialStoragePool instance of an array: the raw
// capacity of all its disks. Also used by the association providers and the
// configuration services.

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_PrimordialStoragePool.h"
#include "Table_Entries.h"

namespace cimple {

class VELDARO_PrimordialStoragePool_Resource {
public:
    static constexpr int DISK_TABLE_SIZE = Table_Entries::DISKS;

    explicit VELDARO_PrimordialStoragePool_Resource(const String& storage) : _storage(storage) {}
    ~VELDARO_PrimordialStoragePool_Resource();
    VELDARO_PrimordialStoragePool_Resource(const VELDARO_PrimordialStoragePool_Resource&) = delete;
    VELDARO_PrimordialStoragePool_Resource& operator=(const VELDARO_PrimordialStoragePool_Resource&) = delete;

    // 0 built, 1 error, 2 the array's table is not valid.
    int createPrimordialStoragePool();

    // The instance built, owned by the builder.
    Array<VELDARO_PrimordialStoragePool*>& list() { return _list; }

private:
    Array<VELDARO_PrimordialStoragePool*> _list;
    String _storage;
};

}  // namespace cimple
