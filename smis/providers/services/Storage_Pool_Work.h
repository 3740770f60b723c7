#pragma once
// The pool work of the storage configuration service on one array:
// creating and growing RAID-group and thin-provisioning pools and deleting
// them. A request is a thin one when its pool or goal setting is a thin
// pool's ("TPP" in the InstanceID); the pool engines choose the disks, run
// the array command and refresh the table. Pool references are resolved
// against this array: the pool built here must have the reference's key.
//
//   Storage_Pool_Work work(address);
//   std::uint64_t size = bytes;
//   std::uint32_t rc = work.createOrModifyStoragePool(name, goal, size, inPools, inExtents, pool);

#include <cimple/cimple.h>

#include <cstdint>

#include "CIM_LogicalElement.h"
#include "CIM_ManagedElement.h"
#include "CIM_StorageExtent.h"
#include "CIM_StoragePool.h"
#include "CIM_StorageSetting.h"

namespace cimple {

class Storage_Pool_Work {
public:
    static constexpr std::uint32_t GROUP_NOT_OPERATIVE = 0x8023;
    static constexpr std::uint32_t GROUP_OF_THIN_POOL = 0x8024;

    explicit Storage_Pool_Work(const String& storage) : _storage(storage) {}

    // size: the requested bytes in (0: the engine chooses), the pool's
    // bytes out. pool: the pool to grow in, the new or grown pool out.
    std::uint32_t createOrModifyStoragePool(const String& name, const CIM_StorageSetting* goal, std::uint64_t& size,
                                            const Property<Array<String>>& inPools,
                                            const Property<Array<String>>& inExtents, CIM_StoragePool*& pool);
    // Deletes a thin pool or a RAID group, then refreshes the table.
    std::uint32_t deleteStoragePool(const CIM_StoragePool* pool);
    // A pool from named disks (ElementType 4); element: the thin pool to
    // grow in, the new or grown pool out.
    std::uint32_t createOrModifyElementFromElements(const String& name, const CIM_ManagedElement* goal,
                                                    std::uint64_t& size, const Array<CIM_StorageExtent*>& inElements,
                                                    CIM_LogicalElement*& element);

    // The pool an element is, when it is one.
    static const CIM_StoragePool* asPool(const CIM_LogicalElement* element);
    // A thin request: the pool or the goal setting names a thin pool.
    static bool isThinRequest(const CIM_StoragePool* pool, const Instance* goal);

    // Number and bytes of the thin pool a reference names on this array;
    // 0xFFFF and 0 when it names none here.
    void thinPoolOf(const CIM_StoragePool* pool, std::uint16_t& number, std::uint64_t& size) const;

private:
    // The instances of this array with the reference's key, or null.
    CIM_StoragePool* thinPoolInstance(const CIM_StoragePool* pool) const;
    CIM_StoragePool* raidPoolInstance(const CIM_StoragePool* pool, std::uint32_t& result) const;
    // The thin growth of size over the pool's current size (5 when it does
    // not grow it).
    std::uint32_t thinTarget(const CIM_StoragePool* pool, const char* poolError, std::uint64_t& size,
                             std::uint16_t& number) const;
    bool isOwnPrimordialPool(const String& path) const;
    // True without a goal; with a storage setting goal, when it is served in
    // the arrays' name space and its InstanceID is a setting key of this
    // array ("VELDARO:SS_..._<address>").
    bool isOwnSetting(const Instance* goal) const;

    String _storage;
};

}  // namespace cimple
