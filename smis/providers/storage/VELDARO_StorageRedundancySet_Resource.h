#pragma once
// Builds the hot-spare disk groups of an array as VELDARO_StorageRedundancySet
// instances: the global group, then one group per RAID group that has
// dedicated hot-spare disks, in the order of each group's first such disk.

#include <cimple/cimple.h>

#include "VELDARO_StorageRedundancySet.h"
#include "Table_Entries.h"

namespace cimple {

class VELDARO_StorageRedundancySet_Resource {
public:
    static constexpr int DISK_TABLE_SIZE = Table_Entries::DISKS;

    explicit VELDARO_StorageRedundancySet_Resource(const String& storage) : _storage(storage) {}
    ~VELDARO_StorageRedundancySet_Resource();
    VELDARO_StorageRedundancySet_Resource(const VELDARO_StorageRedundancySet_Resource&) = delete;
    VELDARO_StorageRedundancySet_Resource& operator=(const VELDARO_StorageRedundancySet_Resource&) = delete;

    // 0 built, 1 error (groups built before stay in the list), 2 the
    // array's table is not valid (nothing built).
    int createStorageRedundancySet();

    // Fills one group: rlun NULL the global group, else the decimal RAID
    // group number of a dedicated group. 0, or 1 (logged) on failure.
    int setStorageRedundancySet(VELDARO_StorageRedundancySet* instance, const char* rlun);

    // The instances built; the builder owns them.
    Array<VELDARO_StorageRedundancySet*>& list() { return _list; }

private:
    Array<VELDARO_StorageRedundancySet*> _list;
    String _storage;
};

}  // namespace cimple
