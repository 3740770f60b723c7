// Groups candidate disks of one array into interchangeable disk groups (same
// capacity code and kind) and, inside each group, into buckets by enclosure,
// so that the pool engines can size pools and spread the members of a new
// RAID group over enclosures. The array's table is read once, when the
// manager is made.
//
//   SMISProviderDiskManager manager(freePlus, address);
//   for (int i = 0; i < manager.GetDiskMngListCount(); ++i)
//       const DiskMng* g = manager.GetDiskMngbyIndex(i);   // g->buckets ...
#ifndef SMIS_CONFIG_SMIS_PROVIDER_DISK_MANAGER_H
#define SMIS_CONFIG_SMIS_PROVIDER_DISK_MANAGER_H

#include <cimple/cimple.h>

#include <cstdint>

namespace cimple {

// One disk group; owns its lists.
struct DiskMng {
    std::uint8_t kind = 0;              // disk kind of the group's disks
    std::uint16_t count = 0;            // disks in the group
    std::uint64_t capacity = 0;         // bytes of one disk: whole block count of the first disk x 512
    std::uint16_t capacityCode = 0;     // capacity value of the disk table, shared by the group
    Array<std::uint16_t>* pluList = nullptr;        // the group's disks, in the given order
    Array<Array<std::uint16_t>*> buckets;           // non-empty buckets, by increasing bucket number

    DiskMng() = default;
    ~DiskMng();
    DiskMng(const DiskMng&) = delete;
    DiskMng& operator=(const DiskMng&) = delete;
};

class SMISProviderDiskManager {
public:
    // Disks the table does not know stay in the PLU list and join no group.
    SMISProviderDiskManager(const Array<std::uint16_t>& pluList, const String& storageAddress);
    virtual ~SMISProviderDiskManager();
    SMISProviderDiskManager(const SMISProviderDiskManager&) = delete;
    SMISProviderDiskManager& operator=(const SMISProviderDiskManager&) = delete;

    // out := every PLU given to the constructor, in the given order.
    void getPLUArray(Array<std::uint16_t>& out) const;
    // Appends the disks of the first group of that capacity (bytes) and kind.
    void getSameSizeAllPLUList(std::uint64_t capacity, std::uint8_t kind, Array<std::uint16_t>& out) const;
    int GetDiskMngListCount() const;
    // The i-th group (0-based); null outside the groups.
    DiskMng* GetDiskMngbyIndex(int i) const;

    // The bucket (0 to 31) of a disk's enclosure: bits 4, 5, 3, 6, 7 of the
    // enclosure number give bucket bits 0 to 4.
    static unsigned bucketOf(std::uint16_t plu);

private:
    // User capacity of a disk in bytes (block count x 512).
    std::uint64_t getDiskCapacity(std::uint16_t plu) const;
    void init();

    Array<DiskMng*> _diskMngList;
    Array<std::uint16_t> _pluList;
    String _storageAddress;
};

}  // namespace cimple

#endif
