// The hot spares of each array: each spare disk extent with the storage
// redundancy set it stands by for (a dedicated spare with the set of its
// RAID group, a global spare with the global set), from either end.

#include "CIM_IsSpare_Provider.h"

#include "Association_End.h"
#include "CIM_IsSpare.h"
#include "Key_Index.h"
#include "Redundancy_Set_Number.h"
#include "Table_Entries.h"
#include "VELDARO_DiskExtent.h"
#include "VELDARO_DiskExtent_Resource.h"
#include "VELDARO_StorageRedundancySet.h"
#include "VELDARO_StorageRedundancySet_Resource.h"

namespace cimple {

namespace {

using Frame = Association_Parent_Frame;
using Common = Association_Provider_Frame;
using Sets = Array<VELDARO_StorageRedundancySet*>;

constexpr std::uint16_t DISK_FAILED = 2;
constexpr std::uint8_t GLOBAL_SPARE = 0x02;
constexpr std::uint8_t DEDICATED_SPARE = 0x08;
constexpr std::uint16_t SPARE_STATUS_HOT_STANDBY = 2;
constexpr std::uint16_t FAILOVER_SUPPORTED = 2;

// The set a disk stands by for, or null. A failed disk stands by for none;
// a dedicated spare for the set of its RAID group (and no other, even with
// the global bit set); any other disk with the global bit for the global
// set. The same test answers from either end.
const VELDARO_StorageRedundancySet* spareSetOf(const VELDARO_RefTable& table, int disk, const Sets& sets)
{
    if (table.getDiskStatus(disk) == DISK_FAILED)
        return nullptr;
    const std::uint8_t usage = table.getDiskUsage(disk);
    const bool dedicated = (usage & DEDICATED_SPARE) != 0;
    if (!dedicated && (usage & GLOBAL_SPARE) == 0)
        return nullptr;
    const std::uint16_t group = table.getDiskDedicatedHSRlun(disk);
    for (std::size_t s = 0; s < sets.size(); ++s) {
        const VELDARO_StorageRedundancySet* set = sets[s];
        if (!set)
            continue;
        if (dedicated ? redundancy_set::raidGroupOf(set->HSRLUN.value) == group
                      : redundancy_set::isGlobal(set->HSRLUN.value))
            return set;
    }
    return nullptr;
}

enum class Far { EXTENT, SET };

// The spares among the disks of the range, with only the set whose
// InstanceID is setId when one is given.
bool spares(Frame& frame, Index_Range disks, const String* setId, Far far)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_StorageRedundancySet_Resource setList(frame.storage());
        if (!buildList(setList, &VELDARO_StorageRedundancySet_Resource::createStorageRedundancySet))
            return false;
        const Sets& sets = setList.list();
        if (sets.size() == 0)
            return true;
        VELDARO_DiskExtent_Resource extents(frame.storage());
        for (int disk = disks.begin; disk < disks.end; ++disk) {
            const VELDARO_StorageRedundancySet* set = spareSetOf(table, disk, sets);
            if (!set || (setId && set->InstanceID.value != *setId))
                continue;
            auto extent = Association_End<VELDARO_DiskExtent>::build(extents, disk);
            if (extent.failed())
                return false;
            if (!extent.built())
                continue;
            VELDARO_StorageRedundancySet* copy = set->clone();
            Instance* farEnd = far == Far::EXTENT ? static_cast<Instance*>(extent.get()) : copy;
            frame.emit<CIM_IsSpare>(extent.release(), copy, farEnd, true, [](CIM_IsSpare& a) {
                a.SpareStatus.set(SPARE_STATUS_HOT_STANDBY);
                a.FailoverSupported.set(FAILOVER_SUPPORTED);
            });
        }
        return true;
    });
}

const Frame::Source_Route ROUTES[] = {
    {&VELDARO_DiskExtent::static_meta_class, Common::BY_SYSTEM_NAME,
     Key_Index::of<&VELDARO_DiskExtent_Resource::divide_DeviceID, &VELDARO_RefTable::searchPlunFromDiskTable,
                   Key_Index::DEVICE_ID>,
     [](Frame& frame, const Instance*, int disk) {
         return spares(frame, Index_Range::one(disk, Table_Entries::DISKS), nullptr, Far::SET);
     }},
    {&VELDARO_StorageRedundancySet::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance* source, int) {
         const String* id = Common::stringValue(source, "InstanceID");
         return !id || spares(frame, Index_Range::all(Table_Entries::DISKS), id, Far::EXTENT);
     }},
};

}  // namespace

CIM_IsSpare_Provider::CIM_IsSpare_Provider() {}

CIM_IsSpare_Provider::~CIM_IsSpare_Provider() {}

bool CIM_IsSpare_Provider::_enumPairs()
{
    return spares(*this, Index_Range::all(Table_Entries::DISKS), nullptr, Far::SET);
}

int CIM_IsSpare_Provider::_request(const Instance* source)
{
    return route(source, ROUTES);
}

}  // namespace cimple
