// The members of the RAID groups' composite extents: disks under RAID0,
// RAID5 and RAID6 composites, mirrored pairs under RAID1+0 composites,
// striping sub-composites under RAID5+0 composites and the disks under each
// striping sub-composite, with their place and the stripe depth.

#include "CIM_CompositeExtentBasedOn_Provider.h"

#include <algorithm>
#include <new>

#include "CIM_CompositeExtentBasedOn.h"
#include "VELDARO_DiskExtent_Resource.h"
#include "VELDARO_MirroredExtent_Resource.h"
#include "VELDARO_RAIDCompositeExtent_Resource.h"
#include "VELDARO_StripingCompositeExtent_Resource.h"

namespace cimple {

namespace {

using Frame = Association_Parent_Frame;
using Common = Association_Provider_Frame;

constexpr std::uint8_t RAID0 = 8;
constexpr std::uint8_t RAID5 = 1;
constexpr std::uint8_t RAID6 = 3;
constexpr std::uint8_t RAID10 = 12;
constexpr std::uint8_t RAID50 = 9;
constexpr std::uint16_t NONE = 0xFFFF;
constexpr int MEMBER_SLOTS = 16;
constexpr int DISK_SLOTS = 16;

bool isFree(const VELDARO_RefTable& table, int rlu)
{
    return (table.getRluStatus(rlu) & 0xFF) == 3;
}

bool stripesOverDisks(std::uint8_t level)
{
    return level == RAID0 || level == RAID5 || level == RAID6;
}

// Byte address of the last block of n blocks, no zero case: a member
// without blocks ends at all ones, which is still set.
std::uint64_t endOf(std::uint64_t blocks)
{
    return Common::plainLastByte(blocks);
}

std::uint64_t valueOf(const Property<uint64>& p)
{
    return p.null ? 0 : p.value;
}

// The group's member disks in member order.
int diskList(const VELDARO_RefTable& table, int rlu, disk_idx_list_in_rlu& list)
{
    const int n = table.getDiskIndexListInRlu(rlu, &list);
    return std::clamp(n, 0, static_cast<int>(disk_idx_list_in_rlu::CAPACITY));
}

// Place (from 1) of the disk in the group's member list; 0 when absent.
int placeInGroup(const VELDARO_RefTable& table, int rlu, int disk)
{
    disk_idx_list_in_rlu list{};
    const int n = diskList(table, rlu, list);
    for (int k = 0; k < n; ++k)
        if (list.DiskIdx[k] == static_cast<std::uint32_t>(disk))
            return k + 1;
    return 0;
}

// The DLU index of member j of the group, or -1.
int memberDlu(const VELDARO_RefTable& table, int rlu, int j)
{
    const std::uint16_t dlun = table.getRluDlun(rlu, j);
    return dlun == NONE ? -1 : table.searchDlunFromDluTable(dlun);
}

int memberCount(const VELDARO_RefTable& table, int rlu)
{
    return std::min<int>(table.getRluMemberDiskCount(rlu), MEMBER_SLOTS);
}

// The DLU and RLU indexes of a disk; false when the chain breaks.
bool groupOfDisk(const VELDARO_RefTable& table, int disk, int& dlu, int& rlu)
{
    const std::uint16_t dlun = table.getDiskDlun(disk);
    if (dlun == NONE)
        return false;
    dlu = table.searchDlunFromDluTable(dlun);
    if (dlu < 0)
        return false;
    rlu = table.searchRlunFromRluTable(table.getDluRlun(dlu));
    return rlu >= 0;
}

// The emitter: one association of the member and the composite. The far
// end is lent to the handler as built.
void emit(Frame& frame, Instance* member, Instance* composite, std::uint16_t order, std::uint64_t end,
          std::uint64_t stripeDepth)
{
    Instance* far = frame.otherEnd(member, composite);
    Instance* made = Common::newAssociation(&CIM_CompositeExtentBasedOn::static_meta_class, member, composite);
    if (!made)
        throw std::bad_alloc();
    auto* association = static_cast<CIM_CompositeExtentBasedOn*>(made);
    association->OrderIndex.set(order);
    association->StartingAddress.set(0);
    association->EndingAddress.set(end);
    Common::setUnlessNoValue(association->UserDataStripeDepth, stripeDepth);
    frame.deliver(made, far, false);
}

// ---- row 1: disks under RAID0/5/6 composites ----

bool disksOfRAIDComposites(Frame& frame, int rluEntry)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_RAIDCompositeExtent_Resource composites(frame.storage());
        VELDARO_DiskExtent_Resource disks(frame.storage());
        const auto range = frame.walk(rluEntry, static_cast<int>(table.getRLUMaxCount()));
        for (int rlu = range.begin; rlu < range.end; ++rlu) {
            if (isFree(table, rlu) || !stripesOverDisks(table.getRaidLevel(rlu)))
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
                const std::uint64_t end = endOf(valueOf(disk->BlockCount));
                emit(frame, disk.release(), clone(composite.get()), ++order, end, table.getRluStripeSize(rlu));
            }
        }
        return true;
    });
}

bool diskOfRAIDComposite(Frame& frame, int disk)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        int dlu = -1, rlu = -1;
        if (!groupOfDisk(table, disk, dlu, rlu) || !stripesOverDisks(table.getRaidLevel(rlu)))
            return true;
        const int place = placeInGroup(table, rlu, disk);
        if (place == 0)
            return true;
        VELDARO_RAIDCompositeExtent* built = nullptr;
        if (VELDARO_RAIDCompositeExtent_Resource(frame.storage()).createInstance(built, rlu) != 0)
            return false;
        Owned<VELDARO_RAIDCompositeExtent> composite(built);
        if (!composite)
            return true;
        VELDARO_DiskExtent* made = nullptr;
        if (VELDARO_DiskExtent_Resource(frame.storage()).createInstance(made, disk) != 0)
            return false;
        Owned<VELDARO_DiskExtent> member(made);
        if (!member)
            return true;
        const std::uint64_t end = endOf(valueOf(member->BlockCount));
        emit(frame, member.release(), composite.release(), static_cast<std::uint16_t>(place), end,
             table.getRluStripeSize(rlu));
        return true;
    });
}

// ---- row 2: mirrored pairs under RAID1+0 composites ----

std::uint16_t mirrorPlace(const VELDARO_MirroredExtent& mirror)
{
    return static_cast<std::uint16_t>((mirror.StripingNumber.null ? 0 : mirror.StripingNumber.value) + 1);
}

bool mirrorsOfRAIDComposites(Frame& frame, int rluEntry)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_RAIDCompositeExtent_Resource composites(frame.storage());
        VELDARO_MirroredExtent_Resource mirrors(frame.storage());
        const auto range = frame.walk(rluEntry, static_cast<int>(table.getRLUMaxCount()));
        for (int rlu = range.begin; rlu < range.end; ++rlu) {
            if (isFree(table, rlu) || table.getRaidLevel(rlu) != RAID10)
                continue;
            VELDARO_RAIDCompositeExtent* built = nullptr;
            if (composites.createInstance(built, rlu) != 0)
                return false;
            Owned<VELDARO_RAIDCompositeExtent> composite(built);
            if (!composite)
                continue;
            const int members = memberCount(table, rlu);
            for (int j = 0; j < members; ++j) {
                const int dlu = memberDlu(table, rlu, j);
                if (dlu < 0)
                    continue;
                VELDARO_MirroredExtent* made = nullptr;
                if (mirrors.createInstance(made, rlu, dlu) != 0)
                    return false;
                Owned<VELDARO_MirroredExtent> mirror(made);
                if (!mirror)
                    continue;
                const std::uint16_t order = mirrorPlace(*mirror);
                const std::uint64_t end = endOf(valueOf(mirror->NumberOfBlocks));
                emit(frame, mirror.release(), clone(composite.get()), order, end, table.getRluStripeSize(rlu));
            }
        }
        return true;
    });
}

bool mirrorOfRAIDComposite(Frame& frame, int disk)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        const int dlu = table.searchDlunFromDluTable(table.getDiskDlun(disk));
        const int rlu = dlu < 0 ? -1 : table.searchRlunFromRluTable(table.getDluRlun(dlu));
        if (rlu < 0 || table.getRaidLevel(rlu) != RAID10)
            return true;
        VELDARO_RAIDCompositeExtent* built = nullptr;
        if (VELDARO_RAIDCompositeExtent_Resource(frame.storage()).createInstance(built, rlu) != 0)
            return false;
        Owned<VELDARO_RAIDCompositeExtent> composite(built);
        if (!composite)
            return true;
        VELDARO_MirroredExtent* made = nullptr;
        if (VELDARO_MirroredExtent_Resource(frame.storage()).createInstance(made, rlu, dlu) != 0)
            return false;
        Owned<VELDARO_MirroredExtent> mirror(made);
        if (!mirror)
            return true;
        const std::uint16_t order = mirrorPlace(*mirror);
        const std::uint64_t end = endOf(valueOf(mirror->NumberOfBlocks));
        emit(frame, mirror.release(), composite.release(), order, end, table.getRluStripeSize(rlu));
        return true;
    });
}

// ---- row 3: striping sub-composites under RAID5+0 composites ----

bool stripingOfRAIDComposites(Frame& frame, int rluEntry)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_RAIDCompositeExtent_Resource composites(frame.storage());
        VELDARO_StripingCompositeExtent_Resource stripings(frame.storage());
        const auto range = frame.walk(rluEntry, static_cast<int>(table.getRLUMaxCount()));
        for (int rlu = range.begin; rlu < range.end; ++rlu) {
            if (isFree(table, rlu) || table.getRaidLevel(rlu) != RAID50)
                continue;
            VELDARO_RAIDCompositeExtent* built = nullptr;
            if (composites.createInstance(built, rlu) != 0)
                return false;
            Owned<VELDARO_RAIDCompositeExtent> composite(built);
            if (!composite)
                continue;
            std::uint16_t order = 0;
            const int members = memberCount(table, rlu);
            for (int j = 0; j < members; ++j) {
                const int dlu = memberDlu(table, rlu, j);
                if (dlu < 0)
                    continue;
                VELDARO_StripingCompositeExtent* made = nullptr;
                if (stripings.createInstance(made, rlu, dlu) != 0)
                    return false;
                Owned<VELDARO_StripingCompositeExtent> member(made);
                if (!member)
                    continue;
                const std::uint64_t end = endOf(valueOf(member->NumberOfBlocks));
                emit(frame, member.release(), clone(composite.get()), ++order, end, Common::NO_VALUE);
            }
        }
        return true;
    });
}

bool stripingOfRAIDComposite(Frame& frame, int rlu, int dlu)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        if (isFree(table, rlu) || table.getRaidLevel(rlu) != RAID50)
            return true;
        const std::uint16_t dlun = table.getDluDlun(dlu);
        int place = 0;
        const int members = memberCount(table, rlu);
        for (int j = 0; j < members && place == 0; ++j)
            if (table.getRluDlun(rlu, j) == dlun)
                place = j + 1;
        if (place == 0)
            return true;
        VELDARO_RAIDCompositeExtent* built = nullptr;
        if (VELDARO_RAIDCompositeExtent_Resource(frame.storage()).createInstance(built, rlu) != 0)
            return false;
        Owned<VELDARO_RAIDCompositeExtent> composite(built);
        if (!composite)
            return true;
        VELDARO_StripingCompositeExtent* made = nullptr;
        if (VELDARO_StripingCompositeExtent_Resource(frame.storage()).createInstance(made, rlu, dlu) != 0)
            return false;
        Owned<VELDARO_StripingCompositeExtent> member(made);
        if (!member)
            return true;
        const std::uint64_t end = endOf(valueOf(member->NumberOfBlocks));
        emit(frame, member.release(), composite.release(), static_cast<std::uint16_t>(place), end, Common::NO_VALUE);
        return true;
    });
}

// ---- row 4: disks under the striping sub-composites ----

bool disksOfStripings(Frame& frame, int rluEntry, int dluEntry)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_StripingCompositeExtent_Resource stripings(frame.storage());
        VELDARO_DiskExtent_Resource disks(frame.storage());
        const auto range = frame.walk(rluEntry, static_cast<int>(table.getRLUMaxCount()));
        for (int rlu = range.begin; rlu < range.end; ++rlu) {
            if (isFree(table, rlu) || table.getRaidLevel(rlu) != RAID50)
                continue;
            const std::uint64_t depth = table.getRluStripeSize(rlu);
            const int members = memberCount(table, rlu);
            for (int j = 0; j < members; ++j) {
                const int dlu = memberDlu(table, rlu, j);
                if (dlu < 0 || (frame.oneEntry() && dlu != dluEntry))
                    continue;
                VELDARO_StripingCompositeExtent* built = nullptr;
                if (stripings.createInstance(built, rlu, dlu) != 0)
                    return false;
                Owned<VELDARO_StripingCompositeExtent> striping(built);
                if (!striping)
                    continue;
                std::uint16_t order = 0;
                for (int slot = 0; slot < DISK_SLOTS; ++slot) {
                    const std::uint16_t plun = table.getDluUsePlu(dlu, slot);
                    const int diskIndex = plun == NONE ? -1 : table.searchPlunFromDiskTable(plun);
                    if (diskIndex < 0)
                        continue;
                    VELDARO_DiskExtent* made = nullptr;
                    if (disks.createInstance(made, diskIndex) != 0)
                        return false;
                    Owned<VELDARO_DiskExtent> disk(made);
                    if (!disk)
                        continue;
                    const std::uint64_t end = endOf(valueOf(disk->BlockCount));
                    emit(frame, disk.release(), clone(striping.get()), ++order, end, depth);
                }
            }
        }
        return true;
    });
}

bool diskOfStriping(Frame& frame, int disk)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        int dlu = -1, rlu = -1;
        if (!groupOfDisk(table, disk, dlu, rlu) || table.getRaidLevel(rlu) != RAID50)
            return true;
        const int place = placeInGroup(table, rlu, disk);
        if (place == 0)
            return true;
        VELDARO_StripingCompositeExtent* built = nullptr;
        if (VELDARO_StripingCompositeExtent_Resource(frame.storage()).createInstance(built, rlu, dlu) != 0)
            return false;
        Owned<VELDARO_StripingCompositeExtent> striping(built);
        if (!striping)
            return true;
        VELDARO_DiskExtent* made = nullptr;
        if (VELDARO_DiskExtent_Resource(frame.storage()).createInstance(made, disk) != 0)
            return false;
        Owned<VELDARO_DiskExtent> member(made);
        if (!member)
            return true;
        const std::uint64_t end = endOf(valueOf(member->BlockCount));
        emit(frame, member.release(), striping.release(), static_cast<std::uint16_t>(place), end,
             table.getRluStripeSize(rlu));
        return true;
    });
}

const char* deviceId(const Instance* source)
{
    const String* id = Common::stringValue(source, "DeviceID");
    return id ? id->c_str() : nullptr;
}

}  // namespace

CIM_CompositeExtentBasedOn_Provider::CIM_CompositeExtentBasedOn_Provider() {}

CIM_CompositeExtentBasedOn_Provider::~CIM_CompositeExtentBasedOn_Provider() {}

bool CIM_CompositeExtentBasedOn_Provider::_enumPairs()
{
    return disksOfRAIDComposites(*this, 0) && mirrorsOfRAIDComposites(*this, 0) && stripingOfRAIDComposites(*this, 0) &&
           disksOfStripings(*this, 0, 0);
}

int CIM_CompositeExtentBasedOn_Provider::_request(const Instance* source)
{
    enum Kind { NONE_OF_THESE, DISK, MIRRORED, RAID_COMPOSITE, STRIPING };
    Kind kind = NONE_OF_THESE;
    if (Common::isOf(source, VELDARO_DiskExtent::static_meta_class))
        kind = DISK;
    else if (Common::isOf(source, VELDARO_MirroredExtent::static_meta_class))
        kind = MIRRORED;
    else if (Common::isOf(source, VELDARO_RAIDCompositeExtent::static_meta_class))
        kind = RAID_COMPOSITE;
    else if (Common::isOf(source, VELDARO_StripingCompositeExtent::static_meta_class))
        kind = STRIPING;
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
            if (disk < 0)
                return true;
            return diskOfRAIDComposite(*this, disk) && diskOfStriping(*this, disk);
        }
        case MIRRORED: {
            std::uint16_t plun = 0, second = 0;
            if (!VELDARO_MirroredExtent_Resource::divide_DeviceID(key, &plun, &second))
                return true;
            const int disk = table.searchPlunFromDiskTable(plun);
            return disk < 0 || mirrorOfRAIDComposite(*this, disk);
        }
        case RAID_COMPOSITE: {
            std::uint16_t rlun = 0;
            if (!VELDARO_RAIDCompositeExtent_Resource::divide_DeviceID(key, &rlun))
                return true;
            const int rlu = table.searchRlunFromRluTable(rlun);
            if (rlu < 0)
                return true;
            return disksOfRAIDComposites(*this, rlu) && mirrorsOfRAIDComposites(*this, rlu) &&
                   stripingOfRAIDComposites(*this, rlu);
        }
        case STRIPING: {
            std::uint16_t rlun = 0, member = 0;
            if (!VELDARO_StripingCompositeExtent_Resource::divide_DeviceID(key, &rlun, &member) ||
                member >= MEMBER_SLOTS)
                return true;
            const int rlu = table.searchRlunFromRluTable(rlun);
            if (rlu < 0)
                return true;
            const int dlu = memberDlu(table, rlu, member);
            if (dlu < 0)
                return true;
            return stripingOfRAIDComposite(*this, rlu, dlu) && disksOfStripings(*this, rlu, dlu);
        }
        default:
            return true;
        }
    });
}

}  // namespace cimple
