// The members of the RAID groups' composite extents: disks under RAID0,
// RAID5 and RAID6 composites, mirrored pairs under RAID1+0 composites,
// striping sub-composites under RAID5+0 composites and the disks under each
// striping sub-composite, with their place and the stripe depth.

#include "CIM_CompositeExtentBasedOn_Provider.h"

#include "Association_End.h"
#include "CIM_CompositeExtentBasedOn.h"
#include "Fixed_End_Walk.h"
#include "Key_Index.h"
#include "RAID_Group_Walk.h"
#include "VELDARO_DiskExtent_Resource.h"
#include "VELDARO_MirroredExtent_Resource.h"
#include "VELDARO_RAIDCompositeExtent_Resource.h"
#include "VELDARO_StripingCompositeExtent_Resource.h"

namespace cimple {

namespace {

using Frame = Association_Parent_Frame;
using Common = Association_Provider_Frame;
using Group = RAID_Group_Walk;
using Fixed = Fixed_End_Walk;

bool stripesOverDisks(std::uint8_t level)
{
    return level == Group::RAID0 || level == Group::RAID5 || level == Group::RAID6;
}

// Byte address of the last block of n blocks, no zero case: a member
// without blocks ends at all ones, which is still set.
std::uint64_t endOf(const Property<uint64>& blocks)
{
    return Common::plainLastByte(blocks.null ? 0 : blocks.value);
}

std::uint16_t mirrorPlace(const VELDARO_MirroredExtent& mirror)
{
    return static_cast<std::uint16_t>((mirror.StripingNumber.null ? 0 : mirror.StripingNumber.value) + 1);
}

// The association's own properties.
auto placed(std::uint16_t order, std::uint64_t end, std::uint64_t stripeDepth)
{
    return [=](CIM_CompositeExtentBasedOn& a) {
        a.OrderIndex.set(order);
        a.StartingAddress.set(0);
        a.EndingAddress.set(end);
        Common::setUnlessNoValue(a.UserDataStripeDepth, stripeDepth);
    };
}

// The emitter of one member and its composite; the far end is lent as
// built.
void emit(Frame& frame, Instance* member, Instance* composite, std::uint16_t order, std::uint64_t end,
          std::uint64_t stripeDepth)
{
    frame.emit<CIM_CompositeExtentBasedOn>(member, composite, frame.otherEnd(member, composite), false,
                                           placed(order, end, stripeDepth));
}

// The composite (kept) with each member build(k) gives for k in range, in
// order, numbered from 1 among the members built; end(member) is the
// member's last byte.
template <class Member, class Composite, class Build, class End>
bool compositeWithMembers(Frame& frame, const Composite* composite, Index_Range range, std::uint64_t stripeDepth,
                          Build build, End end)
{
    return Fixed::numbered<CIM_CompositeExtentBasedOn, Member>(
        frame, composite, Fixed::Fixed::SECOND, range, Fixed::Far::OTHER_END, false, build,
        [&](CIM_CompositeExtentBasedOn& a, const Member& member, std::uint16_t order, int) {
            placed(order, end(member), stripeDepth)(a);
        });
}

// The RAID composites of the walk's groups whose level passes, each with
// members(composite, rlu).
template <class Level, class Members>
bool eachRAIDComposite(Frame& frame, int rluEntry, Level level, Members members)
{
    VELDARO_RefTable table(frame.storage().c_str());
    VELDARO_RAIDCompositeExtent_Resource composites(frame.storage());
    const auto range = frame.walk(rluEntry, static_cast<int>(table.getRLUMaxCount()));
    for (int rlu = range.begin; rlu < range.end; ++rlu) {
        if (Group::isFree(table, rlu) || !level(table.getRaidLevel(rlu)))
            continue;
        auto composite = Association_End<VELDARO_RAIDCompositeExtent>::build(composites, rlu);
        if (composite.failed())
            return false;
        if (composite.built() && !members(table, composite.get(), rlu))
            return false;
    }
    return true;
}

// One member of one composite, at place.
template <class Member, class Composite>
bool oneMember(Frame& frame, Association_End<Composite> composite, Association_End<Member> member, std::uint64_t end,
               std::uint16_t place, std::uint64_t stripeDepth)
{
    if (composite.failed())
        return false;
    if (!composite.built())
        return true;
    if (member.failed())
        return false;
    if (!member.built())
        return true;
    emit(frame, member.release(), composite.release(), place, end, stripeDepth);
    return true;
}

// ---- row 1: disks under RAID0/5/6 composites ----

bool disksOfRAIDComposites(Frame& frame, int rluEntry)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_DiskExtent_Resource disks(frame.storage());
        return eachRAIDComposite(
            frame, rluEntry, stripesOverDisks,
            [&](const VELDARO_RefTable& table, const VELDARO_RAIDCompositeExtent* composite, int rlu) {
                disk_idx_list_in_rlu list{};
                const int n = Group::memberDisks(table, rlu, list);
                return compositeWithMembers<VELDARO_DiskExtent>(
                    frame, composite, Index_Range::all(n), table.getRluStripeSize(rlu),
                    [&](int k) {
                        return Association_End<VELDARO_DiskExtent>::build(disks, static_cast<int>(list.DiskIdx[k]));
                    },
                    [](const VELDARO_DiskExtent& d) { return endOf(d.BlockCount); });
            });
    });
}

bool diskOfRAIDComposite(Frame& frame, int disk)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        int dlu = -1, rlu = -1;
        if (!Group::groupOfDisk(table, disk, dlu, rlu) || !stripesOverDisks(table.getRaidLevel(rlu)))
            return true;
        const int place = Group::placeInGroup(table, rlu, disk);
        if (place == 0)
            return true;
        auto composite = Association_End<VELDARO_RAIDCompositeExtent>::build(
            VELDARO_RAIDCompositeExtent_Resource(frame.storage()), rlu);
        if (!composite.built())
            return !composite.failed();
        auto member = Association_End<VELDARO_DiskExtent>::build(VELDARO_DiskExtent_Resource(frame.storage()), disk);
        const std::uint64_t end = member.built() ? endOf(member->BlockCount) : 0;
        return oneMember(frame, std::move(composite), std::move(member), end, static_cast<std::uint16_t>(place),
                         table.getRluStripeSize(rlu));
    });
}

// ---- row 2: mirrored pairs under RAID1+0 composites ----

bool mirrorsOfRAIDComposites(Frame& frame, int rluEntry)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_MirroredExtent_Resource mirrors(frame.storage());
        return eachRAIDComposite(
            frame, rluEntry, [](std::uint8_t level) { return level == Group::RAID10; },
            [&](const VELDARO_RefTable& table, const VELDARO_RAIDCompositeExtent* composite, int rlu) {
                const std::uint64_t depth = table.getRluStripeSize(rlu);
                return eachEnd<VELDARO_MirroredExtent>(
                    Index_Range::all(Group::memberCount(table, rlu)),
                    [&](int j) {
                        const int dlu = Group::memberDlu(table, rlu, j);
                        return dlu < 0 ? Association_End<VELDARO_MirroredExtent>::nothing()
                                       : Association_End<VELDARO_MirroredExtent>::build(mirrors, rlu, dlu);
                    },
                    [&](Association_End<VELDARO_MirroredExtent>& mirror, int) {
                        const std::uint16_t order = mirrorPlace(*mirror);
                        const std::uint64_t end = endOf(mirror->NumberOfBlocks);
                        emit(frame, mirror.release(), clone(composite), order, end, depth);
                        return true;
                    });
            });
    });
}

bool mirrorOfRAIDComposite(Frame& frame, int disk)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        const int dlu = table.searchDlunFromDluTable(table.getDiskDlun(disk));
        const int rlu = dlu < 0 ? -1 : table.searchRlunFromRluTable(table.getDluRlun(dlu));
        if (rlu < 0 || table.getRaidLevel(rlu) != Group::RAID10)
            return true;
        auto composite = Association_End<VELDARO_RAIDCompositeExtent>::build(
            VELDARO_RAIDCompositeExtent_Resource(frame.storage()), rlu);
        if (!composite.built())
            return !composite.failed();
        auto mirror =
            Association_End<VELDARO_MirroredExtent>::build(VELDARO_MirroredExtent_Resource(frame.storage()), rlu, dlu);
        const std::uint16_t place = mirror.built() ? mirrorPlace(*mirror) : 0;
        const std::uint64_t end = mirror.built() ? endOf(mirror->NumberOfBlocks) : 0;
        return oneMember(frame, std::move(composite), std::move(mirror), end, place, table.getRluStripeSize(rlu));
    });
}

// ---- row 3: striping sub-composites under RAID5+0 composites ----

auto stripingMember(const VELDARO_RefTable& table, VELDARO_StripingCompositeExtent_Resource& stripings, int rlu)
{
    return [&table, &stripings, rlu](int j) {
        const int dlu = Group::memberDlu(table, rlu, j);
        return dlu < 0 ? Association_End<VELDARO_StripingCompositeExtent>::nothing()
                       : Association_End<VELDARO_StripingCompositeExtent>::build(stripings, rlu, dlu);
    };
}

bool stripingOfRAIDComposites(Frame& frame, int rluEntry)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_StripingCompositeExtent_Resource stripings(frame.storage());
        return eachRAIDComposite(
            frame, rluEntry, [](std::uint8_t level) { return level == Group::RAID50; },
            [&](const VELDARO_RefTable& table, const VELDARO_RAIDCompositeExtent* composite, int rlu) {
                return compositeWithMembers<VELDARO_StripingCompositeExtent>(
                    frame, composite, Index_Range::all(Group::memberCount(table, rlu)), Common::NO_VALUE,
                    stripingMember(table, stripings, rlu),
                    [](const VELDARO_StripingCompositeExtent& m) { return endOf(m.NumberOfBlocks); });
            });
    });
}

bool stripingOfRAIDComposite(Frame& frame, int rlu, int dlu)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        if (Group::isFree(table, rlu) || table.getRaidLevel(rlu) != Group::RAID50)
            return true;
        const std::uint16_t dlun = table.getDluDlun(dlu);
        int place = 0;
        const int members = Group::memberCount(table, rlu);
        for (int j = 0; j < members && place == 0; ++j)
            if (table.getRluDlun(rlu, j) == dlun)
                place = j + 1;
        if (place == 0)
            return true;
        auto composite = Association_End<VELDARO_RAIDCompositeExtent>::build(
            VELDARO_RAIDCompositeExtent_Resource(frame.storage()), rlu);
        if (!composite.built())
            return !composite.failed();
        auto member = Association_End<VELDARO_StripingCompositeExtent>::build(
            VELDARO_StripingCompositeExtent_Resource(frame.storage()), rlu, dlu);
        const std::uint64_t end = member.built() ? endOf(member->NumberOfBlocks) : 0;
        return oneMember(frame, std::move(composite), std::move(member), end, static_cast<std::uint16_t>(place),
                         Common::NO_VALUE);
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
            if (Group::isFree(table, rlu) || table.getRaidLevel(rlu) != Group::RAID50)
                continue;
            const std::uint64_t depth = table.getRluStripeSize(rlu);
            const bool done = eachEnd<VELDARO_StripingCompositeExtent>(
                Index_Range::all(Group::memberCount(table, rlu)),
                [&](int j) {
                    const int dlu = Group::memberDlu(table, rlu, j);
                    if (dlu < 0 || (frame.oneEntry() && dlu != dluEntry))
                        return Association_End<VELDARO_StripingCompositeExtent>::nothing();
                    return Association_End<VELDARO_StripingCompositeExtent>::build(stripings, rlu, dlu);
                },
                [&](Association_End<VELDARO_StripingCompositeExtent>& striping, int j) {
                    const int dlu = Group::memberDlu(table, rlu, j);
                    return compositeWithMembers<VELDARO_DiskExtent>(
                        frame, striping.get(), Index_Range::all(Group::DISK_SLOTS), depth,
                        [&](int slot) {
                            const int disk = Group::slotDisk(table, dlu, slot);
                            return disk < 0 ? Association_End<VELDARO_DiskExtent>::nothing()
                                            : Association_End<VELDARO_DiskExtent>::build(disks, disk);
                        },
                        [](const VELDARO_DiskExtent& d) { return endOf(d.BlockCount); });
                });
            if (!done)
                return false;
        }
        return true;
    });
}

bool diskOfStriping(Frame& frame, int disk)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        int dlu = -1, rlu = -1;
        if (!Group::groupOfDisk(table, disk, dlu, rlu) || table.getRaidLevel(rlu) != Group::RAID50)
            return true;
        const int place = Group::placeInGroup(table, rlu, disk);
        if (place == 0)
            return true;
        auto striping = Association_End<VELDARO_StripingCompositeExtent>::build(
            VELDARO_StripingCompositeExtent_Resource(frame.storage()), rlu, dlu);
        if (!striping.built())
            return !striping.failed();
        auto member = Association_End<VELDARO_DiskExtent>::build(VELDARO_DiskExtent_Resource(frame.storage()), disk);
        const std::uint64_t end = member.built() ? endOf(member->BlockCount) : 0;
        return oneMember(frame, std::move(striping), std::move(member), end, static_cast<std::uint16_t>(place),
                         table.getRluStripeSize(rlu));
    });
}

// The DLU index of the striping sub-composite a key names, with its RLU
// index; -1 when it names none.
int stripingDlu(const VELDARO_RefTable& table, const Instance* source, int& rlu)
{
    std::uint16_t rlun = 0, member = 0;
    const char* key = Common::keyText(source, "DeviceID");
    if (!key || !VELDARO_StripingCompositeExtent_Resource::divide_DeviceID(key, &rlun, &member) ||
        member >= Group::MEMBER_SLOTS)
        return -1;
    rlu = table.searchRlunFromRluTable(rlun);
    return rlu < 0 ? -1 : Group::memberDlu(table, rlu, member);
}

using Find = int (VELDARO_RefTable::*)(std::uint16_t) const;
constexpr Find DISK = &VELDARO_RefTable::searchPlunFromDiskTable;

int mirroredDisk(const VELDARO_RefTable& table, const Instance* source)
{
    std::uint16_t plun = 0, second = 0;
    const char* key = Common::keyText(source, "DeviceID");
    return key && VELDARO_MirroredExtent_Resource::divide_DeviceID(key, &plun, &second)
               ? table.searchPlunFromDiskTable(plun)
               : -1;
}

const Frame::Source_Route ROUTES[] = {
    {&VELDARO_DiskExtent::static_meta_class, Common::BY_SYSTEM_NAME,
     Key_Index::of<&VELDARO_DiskExtent_Resource::divide_DeviceID, DISK, Key_Index::DEVICE_ID>,
     [](Frame& frame, const Instance*, int disk) {
         return diskOfRAIDComposite(frame, disk) && diskOfStriping(frame, disk);
     }},
    {&VELDARO_MirroredExtent::static_meta_class, Common::BY_SYSTEM_NAME, mirroredDisk,
     [](Frame& frame, const Instance*, int disk) { return mirrorOfRAIDComposite(frame, disk); }},
    {&VELDARO_RAIDCompositeExtent::static_meta_class, Common::BY_SYSTEM_NAME,
     Key_Index::of<&VELDARO_RAIDCompositeExtent_Resource::divide_DeviceID, &VELDARO_RefTable::searchRlunFromRluTable,
                   Key_Index::DEVICE_ID>,
     [](Frame& frame, const Instance*, int rlu) {
         return disksOfRAIDComposites(frame, rlu) && mirrorsOfRAIDComposites(frame, rlu) &&
                stripingOfRAIDComposites(frame, rlu);
     }},
    {&VELDARO_StripingCompositeExtent::static_meta_class, Common::BY_SYSTEM_NAME,
     [](const VELDARO_RefTable& table, const Instance* source) {
         int rlu = -1;
         return stripingDlu(table, source, rlu);
     },
     [](Frame& frame, const Instance* source, int dlu) {
         VELDARO_RefTable table(frame.storage().c_str());
         int rlu = -1;
         stripingDlu(table, source, rlu);
         return stripingOfRAIDComposite(frame, rlu, dlu) && disksOfStripings(frame, rlu, dlu);
     }},
};

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
    return route(source, ROUTES);
}

}  // namespace cimple
