// Which storage extent is built on which: disks under RAID1 composites,
// free areas of the RAID groups, and (as their builders land) the extents
// above them.

#include "CIM_BasedOn_Provider.h"

#include <algorithm>
#include <new>

#include "CIM_BasedOn.h"
#include "SMIS_TraceLog.h"
#include "VELDARO_DiskExtent_Resource.h"
#include "VELDARO_FreeExtent_Resource.h"
#include "VELDARO_RAIDCompositeExtent_Resource.h"

namespace cimple {

namespace {

using Frame = Association_Parent_Frame;
using Common = Association_Provider_Frame;

constexpr std::uint8_t RAID1 = 4;
constexpr std::uint16_t NONE = 0xFFFF;

bool isFree(const VELDARO_RefTable& table, int rlu)
{
    return (table.getRluStatus(rlu) & 0xFF) == 3;
}

std::uint64_t valueOf(const Property<uint64>& p)
{
    return p.null ? 0 : p.value;
}

int diskList(const VELDARO_RefTable& table, int rlu, disk_idx_list_in_rlu& list)
{
    const int n = table.getDiskIndexListInRlu(rlu, &list);
    return std::clamp(n, 0, static_cast<int>(disk_idx_list_in_rlu::CAPACITY));
}

// The RLU index of a disk's group; -1 when the chain breaks.
int groupOfDisk(const VELDARO_RefTable& table, int disk)
{
    const std::uint16_t dlun = table.getDiskDlun(disk);
    if (dlun == NONE)
        return -1;
    const int dlu = table.searchDlunFromDluTable(dlun);
    return dlu < 0 ? -1 : table.searchRlunFromRluTable(table.getDluRlun(dlu));
}

void logNoComposite(int rlu)
{
    SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE,
                                 "Table access conflict - Can't create RAIDCompositeExtent by searched RLU Index: %d",
                                 rlu);
}

// The emitter: the association of the lower extent (antecedent) and the
// extent built on it. An address of NO_VALUE stays null.
void emit(Frame& frame, Instance* antecedent, Instance* dependent, std::uint16_t order, std::uint64_t start,
          std::uint64_t end)
{
    Instance* far = frame.otherEnd(antecedent, dependent);
    Instance* made = Common::newAssociation(&CIM_BasedOn::static_meta_class, antecedent, dependent);
    if (!made)
        throw std::bad_alloc();
    auto* association = static_cast<CIM_BasedOn*>(made);
    association->OrderIndex.set(order);
    Common::setUnlessNoValue(association->StartingAddress, start);
    Common::setUnlessNoValue(association->EndingAddress, end);
    frame.deliver(made, far, true);
}

// ---- row 1: disks under RAID1 composites ----

bool disksOfMirrorGroups(Frame& frame, int rluEntry)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_RAIDCompositeExtent_Resource composites(frame.storage());
        VELDARO_DiskExtent_Resource disks(frame.storage());
        const auto range = frame.walk(rluEntry, static_cast<int>(table.getRLUMaxCount()));
        for (int rlu = range.begin; rlu < range.end; ++rlu) {
            if (isFree(table, rlu) || table.getRaidLevel(rlu) != RAID1)
                continue;
            VELDARO_RAIDCompositeExtent* built = nullptr;
            if (composites.createInstance(built, rlu) != 0)
                return false;
            Owned<VELDARO_RAIDCompositeExtent> composite(built);
            if (!composite)
                continue;
            disk_idx_list_in_rlu list{};
            const int n = diskList(table, rlu, list);
            std::uint16_t order = 0;
            for (int k = 0; k < n; ++k) {
                VELDARO_DiskExtent* made = nullptr;
                if (disks.createInstance(made, static_cast<int>(list.DiskIdx[k])) != 0)
                    return false;
                Owned<VELDARO_DiskExtent> disk(made);
                if (!disk)
                    continue;
                const std::uint64_t end = Common::lastByte(valueOf(disk->BlockCount));
                emit(frame, disk.release(), clone(composite.get()), ++order, 0, end);
            }
        }
        return true;
    });
}

bool diskOfMirrorGroup(Frame& frame, int disk)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        const int rlu = groupOfDisk(table, disk);
        if (rlu < 0 || table.getRaidLevel(rlu) != RAID1)
            return true;
        disk_idx_list_in_rlu list{};
        const int n = diskList(table, rlu, list);
        const auto* at = std::find(list.DiskIdx, list.DiskIdx + n, static_cast<std::uint32_t>(disk));
        if (at == list.DiskIdx + n)
            return true;
        VELDARO_RAIDCompositeExtent* built = nullptr;
        if (VELDARO_RAIDCompositeExtent_Resource(frame.storage()).createInstance(built, rlu) != 0)
            return false;
        Owned<VELDARO_RAIDCompositeExtent> composite(built);
        if (!composite) {
            logNoComposite(rlu);
            return false;
        }
        VELDARO_DiskExtent* made = nullptr;
        if (VELDARO_DiskExtent_Resource(frame.storage()).createInstance(made, disk) != 0)
            return false;
        Owned<VELDARO_DiskExtent> member(made);
        if (!member)
            return true;
        const std::uint64_t end = Common::lastByte(valueOf(member->BlockCount));
        emit(frame, member.release(), composite.release(), static_cast<std::uint16_t>(at - list.DiskIdx + 1), 0, end);
        return true;
    });
}

// ---- row 3: free areas of the RAID groups ----

// The free extents of one group, owned until handed out.
struct Free_Extents {
    Array<VELDARO_FreeExtent*> list;
    ~Free_Extents()
    {
        for (std::size_t i = 0; i < list.size(); ++i)
            destroy(list[i]);
    }
    VELDARO_FreeExtent* take(std::size_t i)
    {
        VELDARO_FreeExtent* e = list[i];
        list[i] = nullptr;
        return e;
    }
};

void emitFree(Frame& frame, Instance* composite, VELDARO_FreeExtent* free, std::uint16_t order)
{
    const std::uint64_t start = valueOf(free->StartingAddress);
    const std::uint64_t end = Common::lastByte(valueOf(free->ConsumableBlocks)) + start;
    emit(frame, composite, free, order, start, end);
}

bool freeOfGroups(Frame& frame, int rluEntry)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_RAIDCompositeExtent_Resource composites(frame.storage());
        VELDARO_FreeExtent_Resource frees(frame.storage());
        const auto range = frame.walk(rluEntry, static_cast<int>(table.getRLUMaxCount()));
        for (int rlu = range.begin; rlu < range.end; ++rlu) {
            VELDARO_RAIDCompositeExtent* built = nullptr;
            if (composites.createInstance(built, rlu) != 0)
                return false;
            Owned<VELDARO_RAIDCompositeExtent> composite(built);
            if (!composite)
                continue;
            Free_Extents extents;
            if (frees.createInstance(extents.list, rlu) != 0)
                return false;
            for (std::size_t i = 0; i < extents.list.size(); ++i)
                if (VELDARO_FreeExtent* free = extents.take(i))
                    emitFree(frame, clone(composite.get()), free, static_cast<std::uint16_t>(i + 1));
        }
        return true;
    });
}

bool freeOfGroup(Frame& frame, int rlu, int place)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        Free_Extents extents;
        if (VELDARO_FreeExtent_Resource(frame.storage()).createInstance(extents.list, rlu) != 0)
            return false;
        if (place < 0 || static_cast<std::size_t>(place) >= extents.list.size() || !extents.list[place])
            return true;
        VELDARO_RAIDCompositeExtent* built = nullptr;
        if (VELDARO_RAIDCompositeExtent_Resource(frame.storage()).createInstance(built, rlu) != 0)
            return false;
        Owned<VELDARO_RAIDCompositeExtent> composite(built);
        if (!composite) {
            logNoComposite(rlu);
            return false;
        }
        emitFree(frame, composite.release(), extents.take(place), static_cast<std::uint16_t>(place + 1));
        return true;
    });
}

const char* deviceId(const Instance* source)
{
    const String* id = Common::stringValue(source, "DeviceID");
    return id ? id->c_str() : nullptr;
}

}  // namespace

CIM_BasedOn_Provider::CIM_BasedOn_Provider() {}

CIM_BasedOn_Provider::~CIM_BasedOn_Provider() {}

bool CIM_BasedOn_Provider::_enumPairs()
{
    return disksOfMirrorGroups(*this, 0) && freeOfGroups(*this, 0);
}

int CIM_BasedOn_Provider::_request(const Instance* source)
{
    enum Kind { NONE_OF_THESE, DISK, FREE, RAID_COMPOSITE };
    Kind kind = NONE_OF_THESE;
    if (Common::isOf(source, VELDARO_DiskExtent::static_meta_class))
        kind = DISK;
    else if (Common::isOf(source, VELDARO_FreeExtent::static_meta_class))
        kind = FREE;
    else if (Common::isOf(source, VELDARO_RAIDCompositeExtent::static_meta_class))
        kind = RAID_COMPOSITE;
    String address;
    if (kind == NONE_OF_THESE || !Common::storageFromProperty(source, "SystemName", address))
        return Common::checkProviderClass(source);

    const char* key = deviceId(source);
    return onStorage(address, [&](VELDARO_RefTable& table) {
        switch (kind) {
        case DISK: {
            std::uint16_t plun = 0;
            if (!VELDARO_DiskExtent_Resource::divide_DeviceID(key, &plun))
                return true;
            const int disk = table.searchPlunFromDiskTable(plun);
            return disk < 0 || diskOfMirrorGroup(*this, disk);
        }
        case FREE: {
            std::uint16_t rlun = 0;
            int place = 0;
            if (!VELDARO_FreeExtent_Resource::divide_DeviceID(key, &rlun, &place))
                return true;
            const int rlu = table.searchRlunFromRluTable(rlun);
            return rlu < 0 || freeOfGroup(*this, rlu, place);
        }
        case RAID_COMPOSITE: {
            std::uint16_t rlun = 0;
            if (!VELDARO_RAIDCompositeExtent_Resource::divide_DeviceID(key, &rlun))
                return true;
            const int rlu = table.searchRlunFromRluTable(rlun);
            return rlu < 0 || (disksOfMirrorGroups(*this, rlu) && freeOfGroups(*this, rlu));
        }
        default:
            return true;
        }
    });
}

}  // namespace cimple
