#pragma once
// What the RAID group engine and the thin-provisioning pool engine share:
// the level dispatch, the free disks and the disk manager, the supported
// sizes and available extents of the primordial pool, the disk choice for
// a requested size and the disk numbers of a request's extents. Each engine
// adds its creation, deletion and record filling; the concrete classes add
// the rules of each RAID level and the array commands.
//
// A RAID level is one of the texts "0", "1", "1+0", "5", "5+0", "6"; disks
// are named by PLU numbers (0xFFFF: none).

#include <cimple/cimple.h>

#include <cstdint>
#include <functional>
#include <utility>

#include "CIM_ManagedElement.h"
#include "CIM_StorageExtent.h"
#include "CIM_StoragePool.h"
#include "CIM_StorageSetting.h"
#include "SMISProviderDiskManager.h"

namespace cimple {

class VELDARO_RefTable;

class SMISProviderPoolConfiguration {
public:
    static constexpr std::uint32_t SUCCESS = 0;
    static constexpr std::uint32_t NOT_SUPPORTED = 1;
    static constexpr std::uint32_t FAILED = 4;
    static constexpr std::uint32_t INVALID_PARAMETER = 5;
    static constexpr std::uint32_t SIZE_NOT_SUPPORTED = 4097;
    static constexpr std::uint32_t BUSY = 0x8011;
    static constexpr std::uint32_t ARRAY_BUSY = 0x8013;
    static constexpr std::uint32_t NO_ROOM = 0x8014;
    static constexpr std::uint32_t POOL_LIMIT = 0x8028;
    static constexpr std::uint32_t ABNORMAL = 0x8030;
    static constexpr std::uint16_t NO_NUMBER = 0xFFFF;

    // Levels in dispatch order.
    enum Level { LEVEL_0, LEVEL_1, LEVEL_1P0, LEVEL_5, LEVEL_5P0, LEVEL_6, LEVEL_NONE };
    static Level levelOf(const String& text);
    static const char* levelText(Level level);

    // A row of an engine's level table: the member disk counts of a level.
    struct Level_Limit {
        const char* level;
        int min, max;
    };

    explicit SMISProviderPoolConfiguration(const String& storage);
    virtual ~SMISProviderPoolConfiguration();
    SMISProviderPoolConfiguration(const SMISProviderPoolConfiguration&) = delete;
    SMISProviderPoolConfiguration& operator=(const SMISProviderPoolConfiguration&) = delete;

    void setElementName(const String& name) { _elementName = name; }

    // The first size of the list not below size; size itself when none is.
    static std::uint64_t compareRLUSize(std::uint64_t size, const Array<uint64>& sizes);

    // Sizes a new pool of the setting's level (the default levels without
    // a setting, where the engine has them) can have on the primordial
    // pool's disks; [0] when there are none.
    std::uint32_t getSupportedSizes(const CIM_StorageSetting* setting, const CIM_StoragePool* pool,
                                    Array<uint64>& sizes);
    // The disk extents that can serve the setting's level; new instances
    // owned by the caller.
    std::uint32_t getAvailableExtents(const CIM_StorageSetting* setting, const CIM_StoragePool* pool,
                                      Array<CIM_StorageExtent*>& extents);

    // ---- level tables and rules (concrete classes) ----
    // "1+0", "1", "5", "6": the levels tried in order when a request names none.
    virtual void getDefaultRAIDLevelList(Array<String>& levels);
    virtual void getSupportedRAIDLevelList(Array<String>& levels) = 0;
    virtual int getMinSetDisk(const String& level);
    virtual int getMaxSetDisk(const String& level);
    virtual void getApprovalDiskCountLevel0P1(Array<std::uint16_t>& counts) = 0;
    virtual void getApprovalDiskCountLevel5(Array<std::uint16_t>& counts) = 0;
    // The level named in a setting's InstanceID; empty when none.
    virtual String getRaidLevelFromStorageSetting(const CIM_StorageSetting* setting) const = 0;

    // The array's free disks.
    virtual void getAvailablePLUNumbers(Array<std::uint16_t>& plus);
    // A disk manager over the free disks of the list; null when none.
    virtual SMISProviderDiskManager* createDiskManager(const Array<std::uint16_t>& plus);

    // Disks that can serve a level (all return 0 unless stated).
    virtual std::uint32_t findAvailableExtentLevel0(SMISProviderDiskManager* dm, Array<std::uint16_t>& plus);
    virtual std::uint32_t findAvailableExtentLevel1(SMISProviderDiskManager* dm, Array<std::uint16_t>& plus) = 0;
    virtual std::uint32_t findAvailableExtentLevel0P1(SMISProviderDiskManager* dm, Array<std::uint16_t>& plus) = 0;
    virtual std::uint32_t findAvailableExtentLevel5(SMISProviderDiskManager* dm, Array<std::uint16_t>& plus) = 0;
    virtual std::uint32_t findAvailableExtentLevel0P5(SMISProviderDiskManager* dm, Array<std::uint16_t>& plus);
    virtual std::uint32_t findAvailableExtentLevel6(SMISProviderDiskManager* dm, Array<std::uint16_t>& plus);

    // Default picks for a request without size.
    virtual std::uint32_t getApprovalPatternLevel0(SMISProviderDiskManager* dm, Array<std::uint16_t>& plus);
    virtual std::uint32_t getApprovalPatternLevel1(SMISProviderDiskManager* dm, Array<std::uint16_t>& plus);
    virtual std::uint32_t getApprovalPatternLevel0P1(SMISProviderDiskManager* dm, Array<std::uint16_t>& plus);
    virtual std::uint32_t getApprovalPatternLevel5(SMISProviderDiskManager* dm, Array<std::uint16_t>& plus);
    virtual std::uint32_t getApprovalPatternLevel0P5(SMISProviderDiskManager* dm, Array<std::uint16_t>& plus);
    virtual std::uint32_t getApprovalPatternLevel6(SMISProviderDiskManager* dm, Array<std::uint16_t>& plus);

    // Pool sizes the disks allow.
    virtual std::uint32_t getSupportedSizeLevel0(SMISProviderDiskManager* dm, Array<uint64>& sizes);
    virtual std::uint32_t getSupportedSizeLevel1(SMISProviderDiskManager* dm, Array<uint64>& sizes) = 0;
    virtual std::uint32_t getSupportedSizeLevel0P1(SMISProviderDiskManager* dm, Array<uint64>& sizes) = 0;
    virtual std::uint32_t getSupportedSizeLevel5(SMISProviderDiskManager* dm, Array<uint64>& sizes) = 0;
    virtual std::uint32_t getSupportedSizeLevel0P5(SMISProviderDiskManager* dm, Array<uint64>& sizes);
    virtual std::uint32_t getSupportedSizeLevel6(SMISProviderDiskManager* dm, Array<uint64>& sizes);

    // Disks per group that a size needs: 0, 5 for size 0, 4 for a level
    // without the rule.
    virtual std::uint32_t getUseDiskList(SMISProviderDiskManager* dm, const String& level, std::uint64_t size,
                                         Array<std::uint32_t>& perGroup);

    // The disks picked for the counts per group; empty when nothing fits.
    virtual std::uint32_t getUseDiskListLevel0(SMISProviderDiskManager* dm, const Array<std::uint32_t>& perGroup,
                                               Array<std::uint16_t>& plus);
    virtual std::uint32_t getUseDiskListLevel1(SMISProviderDiskManager* dm, const Array<std::uint32_t>& perGroup,
                                               Array<std::uint16_t>& plus);
    virtual std::uint32_t getUseDiskListLevel0P1(SMISProviderDiskManager* dm, const Array<std::uint32_t>& perGroup,
                                                 Array<std::uint16_t>& plus);
    virtual std::uint32_t getUseDiskListLevel5(SMISProviderDiskManager* dm, const Array<std::uint32_t>& perGroup,
                                               Array<std::uint16_t>& plus);
    virtual std::uint32_t getUseDiskListLevel0P5(SMISProviderDiskManager* dm, const Array<std::uint32_t>& perGroup,
                                                 Array<std::uint16_t>& plus);
    virtual std::uint32_t getUseDiskListLevel6(SMISProviderDiskManager* dm, const Array<std::uint32_t>& perGroup,
                                               Array<std::uint16_t>& plus);

protected:
    // Disk count of one group for a size q disks deep at a level other than
    // "0" and "1"; false when the engine has no rule for the level.
    virtual bool useDiskCount(Level level, std::uint64_t q, std::uint32_t& count) = 0;
    // Whether the engine serves a level of the dispatch order at all.
    virtual bool servesLevel(Level level) const { return level != LEVEL_NONE; }
    // Whether the primordial pool's queries fall back to the default levels
    // (sizes) and to every free disk (extents) without a setting.
    virtual bool defaultsWithoutSetting() const = 0;
    // Whether the pool of the queries must be the primordial pool.
    virtual bool needsPrimordialPool() const = 0;

    // ---- level dispatch: a level outside the engine's calls nothing ----
    std::uint32_t findAvailableExtent(const String& level, SMISProviderDiskManager* dm, Array<std::uint16_t>& plus);
    std::uint32_t getApprovalPattern(const String& level, SMISProviderDiskManager* dm, Array<std::uint16_t>& plus);
    std::uint32_t getSupportedSize(const String& level, SMISProviderDiskManager* dm, Array<uint64>& sizes);
    std::uint32_t getUseDiskListOf(const String& level, SMISProviderDiskManager* dm,
                                   const Array<std::uint32_t>& perGroup, Array<std::uint16_t>& plus);
    // Calls the level's member of a family of six (in dispatch order).
    template <class Op, class... Args>
    std::uint32_t dispatchLevel(const String& level, const Op (&ops)[LEVEL_NONE], Args&&... args)
    {
        const Level l = levelOf(level);
        if (!servesLevel(l))
            return SUCCESS;
        return (this->*ops[l])(std::forward<Args>(args)...);
    }
    // The command line's level code; -1 for a level the engine lacks.
    int getCLIRaidLevel(const String& level) const;
    bool checkSupportedRAIDLevel(const String& level);

    // Disk counts of a level in an engine's table; -1 for a level outside it.
    template <std::size_t N>
    static int limitOf(const Level_Limit (&table)[N], const String& level, bool max)
    {
        for (const Level_Limit& row : table)
            if (level == row.level)
                return max ? row.max : row.min;
        return -1;
    }

    // The common disk rule (disks, buckets) when the level offers a size on
    // the manager's disks; always 0.
    std::uint32_t findAvailableWhenSized(Level level, SMISProviderDiskManager* dm, std::uint64_t disks,
                                         std::uint64_t buckets, Array<std::uint16_t>& plus);
    // Default pick: each count of the list in order for every group, up to
    // the first that picks disks; the last try's result.
    std::uint32_t approvalOverCounts(SMISProviderDiskManager* dm, const Array<std::uint16_t>& counts, Level level,
                                     Array<std::uint16_t>& plus);

    // Disk numbers of a request's extents, each resolved against this array
    // (the extent built here must have the same keys): 0, or 5 with the
    // first that names another array or no disk.
    std::uint32_t pluNumbersOfPaths(const Array<String>& paths, Array<std::uint16_t>& plus) const;
    std::uint32_t pluNumbersOfElements(const Array<CIM_StorageExtent*>& elements, Array<std::uint16_t>& plus) const;

    // out := the free disks that stand in the list.
    void getAvailableStorageExtent(const Array<std::uint16_t>& list, Array<std::uint16_t>& out);
    // Every present disk of the array (the pool must be primordial where
    // the engine asks for it): 0 or 5.
    std::uint32_t getAllAvailableStorageExtents(const CIM_StoragePool* pool, Array<std::uint16_t>& plus);
    // Disks that can serve a level among the pool's disks.
    std::uint32_t availableDisksOf(const String& level, const CIM_StoragePool* pool, Array<std::uint16_t>& plus);
    // New disk extents for the PLUs; on failure none.
    std::uint32_t getStorageExtentFromPluNo(const Array<std::uint16_t>& plus, Array<CIM_StorageExtent*>& extents);

    // The candidate disks of a level for a request: the named disks, else
    // the available ones; without a size, the default pick among them.
    std::uint32_t getApprovalAvailableExtents(const String& level, const CIM_StoragePool* pool,
                                              Array<std::uint16_t>& disks, std::uint64_t size);
    std::uint32_t getApprovalRAIDPattern(const String& level, SMISProviderDiskManager* dm,
                                         Array<std::uint16_t>& plus);

    // Picks the disks for a size into a record's disk list (the engine's
    // disk manager must be set): 0, 4, 4097.
    std::uint32_t setPLUInfoList(const String& level, std::uint64_t size, std::uint16_t* diskList,
                                 std::size_t capacity);

    // A public creation: its start and end records, an exception becomes
    // 0x8030 (the disk manager released), and no pool with code 0 becomes 4.
    CIM_StoragePool* runCreation(const char* name, std::uint64_t size, std::uint32_t& returnValue,
                                 const std::function<CIM_StoragePool*()>& body);
    // The disks of a request's InElements: 5 without elements.
    std::uint32_t disksOfElements(const Array<CIM_StorageExtent*>& elements, Array<std::uint16_t>& disks) const;
    // One creation at a level from the disks: the disk manager over them,
    // makePool (record and array command), the table refresh and the new
    // pool, looked up once more after a second refresh when the first table
    // does not show it yet.
    CIM_StoragePool* createFromDisks(const String& level, std::uint64_t size, const Array<std::uint16_t>& disks,
                                     std::uint32_t& code);
    // Fills the record and runs the array command; number: the pool or
    // group to look up afterwards.
    virtual std::uint32_t makePool(const String& level, std::uint64_t size, std::uint16_t& number) = 0;
    // The new pool of that number in the current table, or null; code 4
    // when the lookup itself fails.
    virtual CIM_StoragePool* findPool(std::uint16_t number, std::uint32_t& code) = 0;
    // The pool of that number holding only its key; null when it cannot be made.
    virtual CIM_StoragePool* keyedPool(std::uint16_t number) const = 0;
    // Deletes the pool whose number divide reads from its InstanceID and
    // search finds in the table, with the engine's delete command.
    std::uint32_t deleteNumberedPool(const CIM_StoragePool* pool, bool (*divide)(const char*, std::uint16_t*),
                                     const char* divideError, int (*search)(const VELDARO_RefTable&, std::uint16_t),
                                     const char* missing,
                                     const std::function<std::uint32_t(const Array<std::uint16_t>&)>& remove);

    // Sets the disk manager for a creation step; the previous one is freed.
    bool openDiskManager(const Array<std::uint16_t>& disks);
    void closeDiskManager();

    // The goal of a request made from elements, when it is a storage setting.
    static const CIM_StorageSetting* asSetting(const Instance* goal);

    // Refreshes the array's cached table.
    virtual void refreshTable() const;
    // A record's 16-byte name field from the element name.
    void fillName(std::uint8_t* field) const;

    String _storage;
    SMISProviderDiskManager* _diskManager = nullptr;
    String _elementName;
};

}  // namespace cimple
