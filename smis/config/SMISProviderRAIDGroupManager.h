#pragma once
// A snapshot of one array's pools as CIM instances: the primordial pool and
// every RAID-group pool with its RAID group number. The RAID group engine
// makes one for a single step of a pool creation: a copy of the primordial
// pool, the lowest free RAID group number, and after the new group exists
// and the table has been refreshed, the new pool. Changes nothing.
//
//   SMISProviderRAIDGroupManager manager(address);
//   if (manager.setRLUInfo() != 0) return 4;
//   std::uint16_t rlun = manager.getFreeRLUNumber(limit);
//   ...                                    // create the group, refresh
//   manager.reload();
//   CIM_StoragePool* pool = manager.getRAIDStoragePool(rlun);   // caller owns

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_PrimordialStoragePool.h"
#include "VELDARO_RAIDStoragePool.h"

namespace cimple {

class SMISProviderRAIDGroupManager {
public:
    explicit SMISProviderRAIDGroupManager(const String& storage);
    virtual ~SMISProviderRAIDGroupManager();
    SMISProviderRAIDGroupManager(const SMISProviderRAIDGroupManager&) = delete;
    SMISProviderRAIDGroupManager& operator=(const SMISProviderRAIDGroupManager&) = delete;

    // Loads the pools: 0 loaded, 4 failed (what was loaded stays).
    int setRLUInfo();
    // A copy of the primordial pool, or null.
    VELDARO_PrimordialStoragePool* getPrimordialStoragePool() const;
    // The lowest RAID group number below limit that no pool uses; 0xFFFF
    // when there is none.
    std::uint16_t getFreeRLUNumber(std::uint16_t limit) const;
    // A copy of the first pool with that RAID group number, or null.
    VELDARO_RAIDStoragePool* getRAIDStoragePool(std::uint16_t rlun) const;
    int reload();
    void clear();

private:
    Array<VELDARO_RAIDStoragePool*> _pools;
    Array<std::uint16_t> _rluns;
    VELDARO_PrimordialStoragePool* _primordial = nullptr;
    String _storage;
};

}  // namespace cimple
