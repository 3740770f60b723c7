#pragma once
// The volume work of the storage configuration service on one array:
// creating standard and thin volumes, growing thin volumes and deleting
// volumes. Each operation checks the request against the cached table and a
// volume configuration engine, runs one array command, refreshes the cached
// table and builds the resulting volume from it. Operations answer the
// method's return value; records go to the error log.
//
//   Storage_Volume_Work work(address);
//   std::uint64_t size = bytes;
//   CIM_LogicalElement* element = nullptr;
//   std::uint32_t rc = work.createStorageVolume(pool, size, element, "VOL1");
//
// The service method that calls an operation holds the array's method lock
// from its pre-check to its answer; the views opened here hold the table
// mutex only while they read the table, never across the command or the
// refresh after it. A reference names an element only when its keys are
// exactly those of an element of the service's array (Method_Reference);
// any other answers 5 before anything is sent.

#include <cimple/cimple.h>

#include <cstdint>

#include "CIM_LogicalElement.h"
#include "CIM_StorageExtent.h"
#include "CIM_StoragePool.h"
#include "VELDARO_RAIDStoragePool.h"
#include "VELDARO_StorageVolume.h"
#include "VELDARO_ThinProvisioningPool.h"

namespace cimple {

class Storage_Volume_Work {
public:
    // Return values of the volume methods.
    static constexpr std::uint32_t SUCCESS = 0;
    static constexpr std::uint32_t NOT_SUPPORTED = 1;
    static constexpr std::uint32_t FAILED = 4;
    static constexpr std::uint32_t INVALID_PARAMETER = 5;
    static constexpr std::uint32_t SIZE_NOT_SUPPORTED = 4097;
    static constexpr std::uint32_t GROUP_FULL = 0x8001;
    static constexpr std::uint32_t NO_VOLUME_NUMBER = 0x8002;
    static constexpr std::uint32_t TYPE_NOT_DELETABLE = 0x8022;
    static constexpr std::uint32_t GROUP_NOT_USABLE = 0x8023;
    static constexpr std::uint32_t THIN_TYPE_NOT_DELETABLE = 0x8024;
    static constexpr std::uint32_t ABNORMAL = 0x8030;

    explicit Storage_Volume_Work(const String& storage) : _storage(storage) {}

    // Names the array's command line takes: at most 16 characters, one
    // token (no blank, control character or '?', no leading '-'); the empty
    // name too.
    static bool checkElementName(const String& name);

    // Array command results turned into return values (0 stays 0).
    static std::uint32_t translateCreate(unsigned char result);
    static std::uint32_t translateExpand(unsigned char result);
    static std::uint32_t translateDelete(unsigned char result);

    // size: the requested bytes in, the volume's (or, with 4097, the
    // largest acceptable) bytes out. element: the new volume on success.
    std::uint32_t createStorageVolume(const CIM_StoragePool* pool, std::uint64_t& size, CIM_LogicalElement*& element,
                                      const String& name);
    std::uint32_t createThinproStorageVolume(const CIM_StoragePool* pool, std::uint64_t& size,
                                             CIM_LogicalElement*& element, const String& name);
    // element: the thin volume in, its rebuilt instance out on success.
    std::uint32_t modifyThinproStorageVolume(std::uint64_t& size, CIM_LogicalElement*& element);
    std::uint32_t deleteStorageVolume(const CIM_LogicalElement* element);

    // The largest standard volume the RAID pool can take, in bytes; 0 when
    // it cannot be read.
    std::uint64_t getMaxVolumeSize(const CIM_StoragePool* pool);
    // The pool of a free extent (NULL when there is none), for volumes made
    // from extents.
    VELDARO_RAIDStoragePool* createConcreteComponent(const CIM_StorageExtent* extent);
    VELDARO_ThinProvisioningPool* createThinConcreteComponent(const CIM_StorageExtent* extent);

    // The volume with that number in that RAID group, or reached through the
    // volume-number table; NULL when there is none.
    VELDARO_StorageVolume* getLogicalElementInstance(std::uint16_t rlun, std::uint16_t olun);
    VELDARO_StorageVolume* getLogicalElementInstance(std::uint16_t olun);

    // Volume number and LU type named by a volume reference: number 0xFFFF
    // unless the key names a volume of that type in the table. False when
    // the reference is not a volume key of this array in its exact form.
    bool getOluNoFromDeviceID(const CIM_LogicalElement* element, std::uint16_t& olun, std::uint8_t& luType);

    // True once a creating command's answer was lost: the array may hold the
    // volume, so no further creating command may follow in this call.
    bool outcomeUnknown() const { return _outcomeUnknown; }

    // True when the reference is served in the arrays' name space and its
    // SystemName is this array.
    bool onThisArray(const Instance* reference) const;
    // True when the free extent reference (standard or thin) is a key of this
    // array in its exact form.
    bool namesFreeExtent(const CIM_StorageExtent* extent, bool thin) const;

private:
    // True when the reference names exactly the instance Builder makes of
    // that table entry on this array.
    template <class Built, class Builder>
    bool namesBuilt(const Instance* reference, int index) const;
    // Bytes of room for thin volumes; 0 without an engine or without room.
    std::uint64_t thinMaximum();
    // The largest size a thin volume of current bytes can grow to.
    std::uint64_t thinExpansionMaximum(std::uint64_t current);
    // The return value of a refused or failed volume creation; a lost
    // answer is logged SEVERE and marks the outcome unknown.
    std::uint32_t createFailure(unsigned char result, std::uint16_t olun);
    // The volume a successful command made: the table's instance, or while
    // the table cannot show it yet, an instance holding its keys (fixed by
    // the volume number). NULL only when neither can be built.
    VELDARO_StorageVolume* madeVolume(VELDARO_StorageVolume* fromTable, std::uint16_t olun, std::uint8_t luType);
    // Refreshes the array's cached table: the refresh's result, or -1.
    int refresh();
    // refresh(), then the allocation records of the array's thin volumes and
    // pools when the table refresh worked.
    void refreshWithAllocations();

    String _storage;
    bool _outcomeUnknown = false;
};

}  // namespace cimple
