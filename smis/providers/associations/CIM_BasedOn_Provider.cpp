// Which storage extent is built on which, from the disks up through RAID
// groups, mirrored pairs, free space, concatenations, snapshot data, thin
// pools and tiering pools to the volumes.

#include "CIM_BasedOn_Provider.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "Association_End.h"
#include "ByteOrder.h"
#include "CIM_BasedOn.h"
#include "Fixed_End_Walk.h"
#include "Free_Extent_List.h"
#include "Key_Index.h"
#include "RAID_Group_Walk.h"
#include "SMIS_CMTAccess.h"
#include "SMIS_TraceLog.h"
#include "Table_Entries.h"
#include "VELDARO_ConcatenatedExtent_Resource.h"
#include "VELDARO_DiskExtent_Resource.h"
#include "VELDARO_FreeExtent_Resource.h"
#include "VELDARO_LayerixExtent_Resource.h"
#include "VELDARO_LayerixSubExtent_Resource.h"
#include "VELDARO_MirroredExtent_Resource.h"
#include "VELDARO_PartOfConcatenatedExtent_Resource.h"
#include "VELDARO_RAIDCompositeExtent_Resource.h"
#include "VELDARO_SDPVExtent_Resource.h"
#include "VELDARO_SnapDataCompositeExtent_Resource.h"
#include "VELDARO_StorageVolume_Resource.h"
#include "VELDARO_ThinProvisioningExtent_Resource.h"
#include "VELDARO_ThinProvisioningFreeExtent_Resource.h"

namespace cimple {

namespace {

using Frame = Association_Parent_Frame;
using Common = Association_Provider_Frame;
using Group = RAID_Group_Walk;

constexpr int LXRP_SUB_POOL_SLOTS = 5;
constexpr std::uint64_t MIB = 1048576;

// LU type codes.
constexpr std::uint8_t LU_VOL = 1;
constexpr std::uint8_t LU_MLU = 2;
constexpr std::uint8_t LU_MVV = 3;
constexpr std::uint8_t LU_SDV = 4;
constexpr std::uint8_t LU_SDP = 7;
constexpr std::uint8_t LU_TPPV = 8;
constexpr std::uint8_t LU_TPPC = 9;
constexpr std::uint8_t LU_LXV = 11;
constexpr std::uint8_t LU_WSV = 13;

std::uint64_t valueOf(const Property<uint64>& p)
{
    return p.null ? 0 : p.value;
}

void logNoPart(int slu)
{
    SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE,
                                 "Table access conflict - Can't create PartOfConcatenatedExtent by "
                                 "searched SLU Index: %d",
                                 slu);
}

void logNoComposite(int rlu)
{
    SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE,
                                 "Table access conflict - Can't create "
                                 "RAIDCompositeExtent by searched RLU Index: %d",
                                 rlu);
}

// ---- the ends and the walk every row shares ----

// An end class with the Resource that builds it; make(frame, args...) is
// a builder of the end at the given table indexes, for onePair.
template <class T, class R>
struct End_Of {
    using Model = T;
    using Resource = R;
    template <class... Args>
    static auto make(Frame& frame, Args... args)
    {
        return [&frame, args...] { return Association_End<T>::build(R(frame.storage()), args...); };
    }
};
using CompositeEnd = End_Of<VELDARO_RAIDCompositeExtent, VELDARO_RAIDCompositeExtent_Resource>;
using DiskEnd = End_Of<VELDARO_DiskExtent, VELDARO_DiskExtent_Resource>;
using MirrorEnd = End_Of<VELDARO_MirroredExtent, VELDARO_MirroredExtent_Resource>;
using VolumeEnd = End_Of<VELDARO_StorageVolume, VELDARO_StorageVolume_Resource>;
using PartEnd = End_Of<VELDARO_PartOfConcatenatedExtent, VELDARO_PartOfConcatenatedExtent_Resource>;
using ConcatenationEnd = End_Of<VELDARO_ConcatenatedExtent, VELDARO_ConcatenatedExtent_Resource>;
using SdpvEnd = End_Of<VELDARO_SDPVExtent, VELDARO_SDPVExtent_Resource>;
using ThinPoolEnd = End_Of<VELDARO_ThinProvisioningExtent, VELDARO_ThinProvisioningExtent_Resource>;
using ThinFreeEnd = End_Of<VELDARO_ThinProvisioningFreeExtent, VELDARO_ThinProvisioningFreeExtent_Resource>;
using TieringPoolEnd = End_Of<VELDARO_LayerixExtent, VELDARO_LayerixExtent_Resource>;
using SubPoolEnd = End_Of<VELDARO_LayerixSubExtent, VELDARO_LayerixSubExtent_Resource>;

// How many entries of a table a walk covers.
using Count = int (*)(const VELDARO_RefTable&);
constexpr Count GROUPS = [](const VELDARO_RefTable& t) { return static_cast<int>(t.getRLUMaxCount()); };
constexpr Count CONCATENATIONS = [](const VELDARO_RefTable& t) { return static_cast<int>(t.getOLUMaxCount()); };
constexpr Count THIN_POOLS = [](const VELDARO_RefTable&) { return Table_Entries::THIN_POOLS; };
constexpr Count TIERING_POOLS = [](const VELDARO_RefTable&) { return Table_Entries::LAYERIX_POOLS; };

constexpr auto EVERY = [](const VELDARO_RefTable&, int) { return true; };

// Runs body(table) with the request's array's table, under the builder's
// guard.
template <class Body>
bool withTable(Frame& frame, Body body)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        return body(static_cast<const VELDARO_RefTable&>(table));
    });
}

// The walk of the rows: for each index of the request's range over
// count(table) entries that wanted(table, index) passes, the end of class
// E::Model built there goes to body(table, end, index). A failed end or a
// false body fails the walk; an index without an instance is passed over.
template <class E, class Wanted, class Body>
bool eachOf(Frame& frame, int entry, Count count, Wanted wanted, Body body)
{
    using T = typename E::Model;
    return withTable(frame, [&](const VELDARO_RefTable& table) {
        typename E::Resource resource(frame.storage());
        return eachEnd<T>(
            frame.walk(entry, count(table)),
            [&](int i) {
                return wanted(table, i) ? Association_End<T>::build(resource, i) : Association_End<T>::nothing();
            },
            [&](Association_End<T>& end, int i) { return body(table, end, i); });
    });
}

// What a request about one pair answers when an end is not there: nothing
// (the entry is not in use), or, where the other end's entry names it, a
// table conflict that is logged and fails the request.
struct Missing {
    void (*conflict)(int) = nullptr;
    int index = 0;
};
constexpr Missing NOTHING{};

template <class T>
bool unbuilt(const Association_End<T>& end, Missing missing)
{
    if (end.failed())
        return false;
    if (missing.conflict) {
        missing.conflict(missing.index);
        return false;
    }
    return true;
}

// A built end with the end that second() builds: place(first, second)
// emits the pair.
template <class First, class Second, class Place>
bool thenPair(First& first, Second second, Missing noSecond, Place place)
{
    auto other = second();
    if (!other.built())
        return unbuilt(other, noSecond);
    place(first, other);
    return true;
}

// The one pair a request about one end asks for: first() is built, then
// second(), and place(first, second) emits them.
template <class First, class Second, class Place>
bool onePair(First first, Missing noFirst, Second second, Missing noSecond, Place place)
{
    auto end = first();
    return end.built() ? thenPair(end, second, noSecond, place) : unbuilt(end, noFirst);
}

// ---- the emitter ----

// The association of the lower extent (antecedent) and the extent built on
// it: place fills its order and addresses (an address of NO_VALUE stays
// null), emitWith emits it with set(association) as the filler.
void place(CIM_BasedOn& a, std::uint16_t order, std::uint64_t start, std::uint64_t end)
{
    a.OrderIndex.set(order);
    Common::setUnlessNoValue(a.StartingAddress, start);
    Common::setUnlessNoValue(a.EndingAddress, end);
}

template <class Set>
void emitWith(Frame& frame, Instance* antecedent, Instance* dependent, Set set)
{
    frame.emit<CIM_BasedOn>(antecedent, dependent, frame.otherEnd(antecedent, dependent), true, set);
}

void emit(Frame& frame, Instance* antecedent, Instance* dependent, std::uint16_t order, std::uint64_t start,
          std::uint64_t end)
{
    emitWith(frame, antecedent, dependent, [&](CIM_BasedOn& a) { place(a, order, start, end); });
}

// The fixed end (kept) with each member of class T that build(k) gives for
// k < count, the fixed end standing as antecedent (Fixed::FIRST) or as
// dependent (Fixed::SECOND); set(association, member, number, k) fills the
// order and addresses, number counting from 1 the members built.
template <class T, class Build, class Set>
bool membersOf(Frame& frame, const Instance* fixed, Fixed_End_Walk::Fixed at, int count, Build build, Set set)
{
    return Fixed_End_Walk::numbered<CIM_BasedOn, T>(frame, fixed, at, Index_Range::all(count),
                                                    Fixed_End_Walk::Far::OTHER_END, true, build, set);
}

// ---- rows 1 and 2: disks under RAID1 composites and mirrored pairs ----

void placeDisk(CIM_BasedOn& a, const VELDARO_DiskExtent& disk, std::uint16_t order)
{
    place(a, order, 0, Common::lastByte(valueOf(disk.BlockCount)));
}

// The composite (kept) with each disk build(k) gives for k < count,
// numbered from 1 among the disks built, each from byte 0 to its last byte.
template <class Build>
bool disksUnder(Frame& frame, const Instance* composite, int count, Build build)
{
    return membersOf<VELDARO_DiskExtent>(
        frame, composite, Fixed_End_Walk::Fixed::SECOND, count, build,
        [](CIM_BasedOn& a, const VELDARO_DiskExtent& disk, std::uint16_t order, int) { placeDisk(a, disk, order); });
}

// The disk (antecedent) with the extent of its group at its place there.
template <class Whole>
void emitDisk(Frame& frame, Association_End<VELDARO_DiskExtent>& disk, Whole& whole, std::uint16_t order)
{
    const VELDARO_DiskExtent& member = *disk;
    emitWith(frame, disk.release(), whole.release(), [&](CIM_BasedOn& a) { placeDisk(a, member, order); });
}

bool disksOfMirrorGroups(Frame& frame, int rluEntry)
{
    return eachOf<CompositeEnd>(
        frame, rluEntry, GROUPS,
        [](const VELDARO_RefTable& table, int rlu) {
            return !Group::isFree(table, rlu) && table.getRaidLevel(rlu) == Group::RAID1;
        },
        [&](const VELDARO_RefTable& table, auto& composite, int rlu) {
            disk_idx_list_in_rlu list{};
            const int n = Group::memberDisks(table, rlu, list);
            VELDARO_DiskExtent_Resource disks(frame.storage());
            return disksUnder(frame, composite.get(), n, [&](int k) {
                return Association_End<VELDARO_DiskExtent>::build(disks, static_cast<int>(list.DiskIdx[k]));
            });
        });
}

bool diskOfMirrorGroup(Frame& frame, int disk)
{
    return withTable(frame, [&](const VELDARO_RefTable& table) {
        const int rlu = Group::groupOfDisk(table, disk);
        if (rlu < 0 || table.getRaidLevel(rlu) != Group::RAID1)
            return true;
        disk_idx_list_in_rlu list{};
        const int n = Group::memberDisks(table, rlu, list);
        const auto* at = std::find(list.DiskIdx, list.DiskIdx + n, static_cast<std::uint32_t>(disk));
        if (at == list.DiskIdx + n)
            return true;
        return onePair(CompositeEnd::make(frame, rlu), Missing{logNoComposite, rlu}, DiskEnd::make(frame, disk),
                       NOTHING, [&](auto& composite, auto& member) {
                           emitDisk(frame, member, composite, static_cast<std::uint16_t>(at - list.DiskIdx + 1));
                       });
    });
}

// The disks of one mirrored pair (DLU) of a RAID1+0 group.
bool disksOfMirroredPair(Frame& frame, const VELDARO_RefTable& table, int rlu, int dlu)
{
    auto mirror = MirrorEnd::make(frame, rlu, dlu)();
    if (!mirror.built())
        return unbuilt(mirror, NOTHING);
    VELDARO_DiskExtent_Resource disks(frame.storage());
    return disksUnder(frame, mirror.get(), Group::DISK_SLOTS, [&](int slot) {
        const int disk = Group::slotDisk(table, dlu, slot);
        return disk < 0 ? Association_End<VELDARO_DiskExtent>::nothing()
                        : Association_End<VELDARO_DiskExtent>::build(disks, disk);
    });
}

bool disksOfMirroredPairs(Frame& frame, int rluEntry)
{
    return withTable(frame, [&](const VELDARO_RefTable& table) {
        const auto range = frame.walk(rluEntry, GROUPS(table));
        for (int rlu = range.begin; rlu < range.end; ++rlu) {
            if (Group::isFree(table, rlu) || table.getRaidLevel(rlu) != Group::RAID10)
                continue;
            const int members = Group::memberCount(table, rlu);
            for (int j = 0; j < members; ++j) {
                const int dlu = Group::memberDlu(table, rlu, j);
                if (dlu >= 0 && !disksOfMirroredPair(frame, table, rlu, dlu))
                    return false;
            }
        }
        return true;
    });
}

// The RLU index of a disk's RAID1+0 group (-1 for none), with its DLU.
int mirroredGroupOf(const VELDARO_RefTable& table, int disk, int& dlu)
{
    dlu = table.searchDlunFromDluTable(table.getDiskDlun(disk));
    const int rlu = dlu < 0 ? -1 : table.searchRlunFromRluTable(table.getDluRlun(dlu));
    return rlu < 0 || table.getRaidLevel(rlu) != Group::RAID10 ? -1 : rlu;
}

// The mirrored pair of a disk with every disk of it (a mirrored extent
// source names the pair by one of its disks).
bool disksOfMirroredPairOfDisk(Frame& frame, int disk)
{
    return withTable(frame, [&](const VELDARO_RefTable& table) {
        int dlu = -1;
        const int rlu = mirroredGroupOf(table, disk, dlu);
        return rlu < 0 || Group::isFree(table, rlu) || disksOfMirroredPair(frame, table, rlu, dlu);
    });
}

bool diskOfMirroredPair(Frame& frame, int disk)
{
    return withTable(frame, [&](const VELDARO_RefTable& table) {
        int dlu = -1;
        const int rlu = mirroredGroupOf(table, disk, dlu);
        if (rlu < 0)
            return true;
        const std::uint16_t plun = table.getDiskPlun(disk);
        int place = 0;
        for (int slot = 0; slot < Group::DISK_SLOTS && place == 0; ++slot)
            if (table.getDluUsePlu(dlu, slot) == plun)
                place = slot + 1;
        return place == 0 || onePair(MirrorEnd::make(frame, rlu, dlu), NOTHING, DiskEnd::make(frame, disk), NOTHING,
                                     [&](auto& mirror, auto& member) {
                                         emitDisk(frame, member, mirror, static_cast<std::uint16_t>(place));
                                     });
    });
}

// ---- row 3: free areas of the RAID groups ----

void emitFree(Frame& frame, Instance* composite, VELDARO_FreeExtent* free, std::uint16_t order)
{
    const std::uint64_t start = valueOf(free->StartingAddress);
    const std::uint64_t end = Common::lastByte(valueOf(free->ConsumableBlocks)) + start;
    emit(frame, composite, free, order, start, end);
}

bool freeOfGroups(Frame& frame, int rluEntry)
{
    return withTable(frame, [&](const VELDARO_RefTable& table) {
        VELDARO_RAIDCompositeExtent_Resource composites(frame.storage());
        VELDARO_FreeExtent_Resource frees(frame.storage());
        return Free_Extent_List::eachGroup<VELDARO_RAIDCompositeExtent>(
            composites, frees, frame.walk(rluEntry, GROUPS(table)),
            [&](auto& composite, VELDARO_FreeExtent* free, std::size_t place) {
                if (free)
                    emitFree(frame, composite.copy(), free, static_cast<std::uint16_t>(place + 1));
            });
    });
}

bool freeOfGroup(Frame& frame, int rlu, int place)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        Free_Extent_List extents;
        VELDARO_FreeExtent_Resource frees(frame.storage());
        if (!extents.build(frees, rlu))
            return false;
        if (place < 0 || static_cast<std::size_t>(place) >= extents.size() || !extents.at(place))
            return true;
        return onePair(
            CompositeEnd::make(frame, rlu), Missing{logNoComposite, rlu},
            [&] { return Association_End<VELDARO_FreeExtent>::of(extents.take(place)); }, NOTHING,
            [&](auto& composite, auto& free) {
                emitFree(frame, composite.release(), free.release(), static_cast<std::uint16_t>(place + 1));
            });
    });
}

// ---- volume lists of an RLU ----

enum class Slu_List { VOLUMES, CONCATENATION_MEMBERS, SNAP_DATA };

// SLU indexes of the group's slices that the row relates, in list order.
std::vector<int> sluList(const VELDARO_RefTable& table, int rlu, Slu_List which)
{
    Array<std::uint16_t> numbers;
    table.getSlunListWithRlu(table.getRluRlun(rlu), numbers);
    std::vector<int> out;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const int slu = table.searchSlunFromSluTable(numbers[i]);
        if (slu < 0)
            continue;
        const std::uint8_t type = table.getLuType(slu);
        auto concatenated = [&](bool wanted) {
            const int olu = table.searchOlunFromOluTable(table.getSluOlun(slu));
            return olu >= 0 && table.isConcatenatedLogicalVolume(olu) == wanted;
        };
        bool keep = false;
        switch (which) {
        case Slu_List::VOLUMES:
            keep = type == LU_MLU || type == LU_TPPV ||
                   ((type == LU_VOL || type == LU_MVV || type == LU_SDV || type == LU_WSV) && concatenated(false));
            break;
        case Slu_List::CONCATENATION_MEMBERS:
            keep = concatenated(true);
            break;
        case Slu_List::SNAP_DATA:
            keep = type == LU_SDP;
            break;
        }
        if (keep)
            out.push_back(slu);
    }
    return out;
}

// ---- rows 4, 5 and 8: slices of the RAID groups ----

// A slice at place k of its group's list, addressed in the group.
void placeSlice(CIM_BasedOn& a, const VELDARO_RefTable& table, int slu, std::size_t k)
{
    const std::uint64_t start = table.getSluStartRlba(slu);
    place(a, static_cast<std::uint16_t>(k + 1), start * Common::BLOCK_SIZE,
          Common::lastByte(start + table.getSlbaCount(slu)));
}

template <class SliceEnd>
bool slicesOfGroups(Frame& frame, int rluEntry, Slu_List which)
{
    using T = typename SliceEnd::Model;
    return eachOf<CompositeEnd>(
        frame, rluEntry, GROUPS, EVERY, [&](const VELDARO_RefTable& table, auto& composite, int rlu) {
            const std::vector<int> list = sluList(table, rlu, which);
            typename SliceEnd::Resource slices(frame.storage());
            return membersOf<T>(
                frame, composite.get(), Fixed_End_Walk::Fixed::FIRST, static_cast<int>(list.size()),
                [&](int k) { return Association_End<T>::build(slices, list[k]); },
                [&](CIM_BasedOn& a, const T&, std::uint16_t, int k) {
                    placeSlice(a, table, list[k], static_cast<std::size_t>(k));
                });
        });
}

template <class SliceEnd>
bool sliceOfGroup(Frame& frame, int slu, Slu_List which)
{
    return withTable(frame, [&](const VELDARO_RefTable& table) {
        const int rlu = table.searchRlunFromRluTable(table.getSluRlun(slu));
        if (rlu < 0)
            return true;
        const std::vector<int> list = sluList(table, rlu, which);
        const auto at = std::find(list.begin(), list.end(), slu);
        if (at == list.end())
            return true;
        const Missing noSlice = which == Slu_List::CONCATENATION_MEMBERS ? Missing{logNoPart, slu} : NOTHING;
        return onePair(CompositeEnd::make(frame, rlu), Missing{logNoComposite, rlu}, SliceEnd::make(frame, slu),
                       noSlice, [&](auto& composite, auto& slice) {
                           emitWith(frame, composite.release(), slice.release(), [&](CIM_BasedOn& a) {
                               placeSlice(a, table, slu, static_cast<std::size_t>(at - list.begin()));
                           });
                       });
    });
}

// ---- rows 6 and 7: concatenated volumes ----

// A member slice of a concatenation, numbered `order` there and addressed
// in the concatenation.
void placePart(CIM_BasedOn& a, const VELDARO_RefTable& table, int slu, std::uint16_t order)
{
    const std::uint64_t start = table.getSluStartOlba(slu);
    place(a, order, start * Common::BLOCK_SIZE, Common::lastByte(start + table.getOlbaCount(slu)));
}

bool partsOfConcatenations(Frame& frame, int oluEntry)
{
    return eachOf<ConcatenationEnd>(
        frame, oluEntry, CONCATENATIONS, EVERY, [&](const VELDARO_RefTable& table, auto& whole, int olu) {
            Array<int> members;
            table.getSluIndexListInOlu(olu, members);
            VELDARO_PartOfConcatenatedExtent_Resource parts(frame.storage());
            return membersOf<VELDARO_PartOfConcatenatedExtent>(
                frame, whole.get(), Fixed_End_Walk::Fixed::SECOND, static_cast<int>(members.size()),
                [&](int k) { return Association_End<VELDARO_PartOfConcatenatedExtent>::build(parts, members[k]); },
                [&](CIM_BasedOn& a, const VELDARO_PartOfConcatenatedExtent&, std::uint16_t order, int k) {
                    placePart(a, table, members[k], order);
                });
        });
}

bool partOfConcatenation(Frame& frame, int slu)
{
    return withTable(frame, [&](const VELDARO_RefTable& table) {
        const int olu = table.searchOlunFromOluTable(table.getSluOlun(slu));
        if (olu < 0)
            return true;
        Array<int> members;
        table.getSluIndexListInOlu(olu, members);
        std::size_t place = 0;
        while (place < members.size() && members[place] != slu)
            ++place;
        if (place == members.size())
            return true;
        return onePair(ConcatenationEnd::make(frame, olu), NOTHING, PartEnd::make(frame, slu), Missing{logNoPart, slu},
                       [&](auto& whole, auto& part) {
                           emitWith(frame, part.release(), whole.release(), [&](CIM_BasedOn& a) {
                               placePart(a, table, slu, static_cast<std::uint16_t>(place + 1));
                           });
                       });
    });
}

void emitVolumeOfConcatenation(Frame& frame, Association_End<VELDARO_ConcatenatedExtent>& whole,
                               Association_End<VELDARO_StorageVolume>& volume)
{
    const std::uint64_t end = Common::lastByte(valueOf(whole->NumberOfBlocks));
    emit(frame, whole.release(), volume.release(), 1, 0, end);
}

bool volumesOfConcatenations(Frame& frame, int oluEntry)
{
    return eachOf<ConcatenationEnd>(
        frame, oluEntry, CONCATENATIONS, EVERY, [&](const VELDARO_RefTable& table, auto& whole, int olu) {
            const int slu = table.searchSlunFromSluTable(table.getOluSlun(olu, 0));
            return slu < 0 || thenPair(whole, VolumeEnd::make(frame, slu), NOTHING,
                                       [&](auto& w, auto& volume) { emitVolumeOfConcatenation(frame, w, volume); });
        });
}

bool volumeOfConcatenation(Frame& frame, int slu)
{
    return withTable(frame, [&](const VELDARO_RefTable& table) {
        const int olu = table.searchOlunFromOluTable(table.getSluOlun(slu));
        return olu < 0 || onePair(ConcatenationEnd::make(frame, olu), NOTHING, VolumeEnd::make(frame, slu), NOTHING,
                                  [&](auto& whole, auto& volume) { emitVolumeOfConcatenation(frame, whole, volume); });
    });
}

// ---- row 9: snapshot data volumes under their pools' composites ----

bool isUnused(const VELDARO_RefTable& table, int slu)
{
    return (table.getSluStatus(slu) & 0xFF) == 6;
}

// The snapshot data volume of SLU slu (when built) under the composite of
// its pool (a clone of the list's).
bool sdpvUnder(Frame& frame, const VELDARO_RefTable& table, VELDARO_SDPVExtent_Resource& extents, int slu,
               const VELDARO_SnapDataCompositeExtent* composite)
{
    auto extent = Association_End<VELDARO_SDPVExtent>::build(extents, slu);
    if (extent.built())
        emit(frame, extent.release(), clone(composite), 1, 0, Common::lastByte(table.getSlbaCount(slu)));
    return !extent.failed();
}

bool snapDataOfSdpvExtents(Frame& frame, int sluEntry)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_SnapDataCompositeExtent_Resource composites(frame.storage());
        if (composites.createSnapDataCompositeExtent() == 1)
            return false;
        const Array<VELDARO_SnapDataCompositeExtent*>& list = composites.list();
        if (list.size() == 0)
            return true;
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_SDPVExtent_Resource extents(frame.storage());
        const auto range = frame.walk(sluEntry, static_cast<int>(table.getSLUMaxCount()));
        for (int slu = range.begin; slu < range.end; ++slu) {
            if (isUnused(table, slu))
                continue;
            const std::uint8_t sdp = table.getSluSDPID(slu);
            const VELDARO_SnapDataCompositeExtent* composite = nullptr;
            for (std::size_t i = 0; i < list.size() && !composite; ++i)
                if (list[i] && !list[i]->SDPID.null && static_cast<std::uint8_t>(list[i]->SDPID.value) == sdp)
                    composite = list[i];
            if (composite && !sdpvUnder(frame, table, extents, slu, composite))
                return false;
        }
        return true;
    });
}

bool sdpvExtentsOfSnapData(Frame& frame, const String& deviceId)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_SnapDataCompositeExtent_Resource composites(frame.storage());
        if (composites.createSnapDataCompositeExtent() == 1)
            return false;
        const Array<VELDARO_SnapDataCompositeExtent*>& list = composites.list();
        const VELDARO_SnapDataCompositeExtent* composite = nullptr;
        for (std::size_t i = 0; i < list.size() && !composite; ++i)
            if (list[i] && !list[i]->DeviceID.null && list[i]->DeviceID.value == deviceId)
                composite = list[i];
        if (!composite || composite->SDPID.null)
            return true;
        const std::uint8_t sdp = static_cast<std::uint8_t>(composite->SDPID.value);
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_SDPVExtent_Resource extents(frame.storage());
        const int count = static_cast<int>(table.getSLUMaxCount());
        for (int slu = 0; slu < count; ++slu)
            if (table.getSluSDPID(slu) == sdp && !sdpvUnder(frame, table, extents, slu, composite))
                return false;
        return true;
    });
}

// ---- rows 10 and 15: RAID groups under thin pools and tiering sub-pools ----

// The TPP index of a group's pool, or -1.
int poolOfGroup(const VELDARO_RefTable& table, int rlu)
{
    const std::uint16_t pool = table.getRluPoolNumber(rlu);
    return pool == Group::NONE ? -1 : table.searchPoolNoFromTppTable(pool);
}

template <class Composite, class Pool>
void emitGroupInPool(Frame& frame, const VELDARO_RefTable& table, Composite& composite, Pool& pool, int rlu)
{
    emit(frame, composite.release(), pool.release(), 1, 0, Common::plainLastByte(table.getRlbaCount(rlu)));
}

template <class PoolEnd>
bool groupsUnderPools(Frame& frame, int rluEntry, bool subPools)
{
    return eachOf<CompositeEnd>(
        frame, rluEntry, GROUPS,
        [subPools](const VELDARO_RefTable& table, int rlu) {
            return !Group::isFree(table, rlu) && (!subPools || table.isLayerixSubPoolInRluMode(rlu)) &&
                   poolOfGroup(table, rlu) >= 0;
        },
        [&](const VELDARO_RefTable& table, auto& composite, int rlu) {
            return thenPair(composite, PoolEnd::make(frame, poolOfGroup(table, rlu)), NOTHING,
                            [&](auto& c, auto& pool) { emitGroupInPool(frame, table, c, pool, rlu); });
        });
}

// A pool extent with the composites of its groups.
template <class PoolEnd>
bool groupsOfPool(Frame& frame, int tpp, bool subPool)
{
    return withTable(frame, [&](const VELDARO_RefTable& table) {
        Array<int> groups;
        if (subPool)
            table.getRluIndexListInLayerixSubPool(tpp, groups);
        else
            table.getRluIndexListInThinPro(tpp, groups);
        for (std::size_t k = 0; k < groups.size(); ++k) {
            auto pool = PoolEnd::make(frame, tpp)();
            if (!pool.built())
                return unbuilt(pool, NOTHING);
            if (!thenPair(pool, CompositeEnd::make(frame, groups[k]), NOTHING,
                          [&](auto& p, auto& composite) { emitGroupInPool(frame, table, composite, p, groups[k]); }))
                return false;
        }
        return true;
    });
}

// ---- rows 11 and 13: volumes of thin pools and tiering pools ----

// The volumes of LU type `type` that lie in the groups, once per group.
std::vector<int> volumesInGroups(const VELDARO_RefTable& table, const Array<int>& groups, std::uint8_t type)
{
    std::vector<int> out;
    for (std::size_t k = 0; k < groups.size(); ++k) {
        Array<std::uint16_t> numbers;
        table.getSlunListWithRlu(table.getRluRlun(groups[k]), numbers);
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            const int slu = numbers[i] == Group::NONE ? -1 : table.searchSlunFromSluTable(numbers[i]);
            if (slu >= 0 && table.getLuType(slu) == type)
                out.push_back(slu);
        }
    }
    return out;
}

// Each pool of the walk (class PoolEnd) with each volume of
// volumesOf(table, pool index), numbered from 1 among the volumes built,
// without addresses.
template <class PoolEnd, class VolumesOf>
bool volumesOfPools(Frame& frame, int entry, Count count, VolumesOf volumesOf)
{
    return eachOf<PoolEnd>(frame, entry, count, EVERY, [&](const VELDARO_RefTable& table, auto& pool, int index) {
        const std::vector<int> slus = volumesOf(table, index);
        VELDARO_StorageVolume_Resource volumes(frame.storage());
        return membersOf<VELDARO_StorageVolume>(
            frame, pool.get(), Fixed_End_Walk::Fixed::FIRST, static_cast<int>(slus.size()),
            [&](int k) { return Association_End<VELDARO_StorageVolume>::build(volumes, slus[k]); },
            [](CIM_BasedOn& a, const VELDARO_StorageVolume&, std::uint16_t order, int) {
                place(a, order, Common::NO_VALUE, Common::NO_VALUE);
            });
    });
}

// A volume with its pool (class PoolEnd, the entry poolOf(table, rlu) of
// the volume's group; -1 for none), without addresses.
template <class PoolEnd, class PoolOf>
bool volumeOfPool(Frame& frame, int slu, PoolOf poolOf)
{
    return withTable(frame, [&](const VELDARO_RefTable& table) {
        const int rlu = table.searchRlunFromRluTable(table.getSluRlun(slu));
        const int pool = rlu < 0 ? -1 : poolOf(table, rlu);
        return pool < 0 ||
               onePair(PoolEnd::make(frame, pool), NOTHING, VolumeEnd::make(frame, slu), NOTHING,
                       [&](auto& p, auto& volume) {
                           emit(frame, p.release(), volume.release(), 1, Common::NO_VALUE, Common::NO_VALUE);
                       });
    });
}

bool volumesOfThinPools(Frame& frame, int tppEntry)
{
    return volumesOfPools<ThinPoolEnd>(frame, tppEntry, THIN_POOLS, [](const VELDARO_RefTable& table, int tpp) {
        Array<int> groups;
        table.getRluIndexListInThinPro(tpp, groups);
        return volumesInGroups(table, groups, LU_TPPC);
    });
}

bool volumeOfThinPool(Frame& frame, int slu)
{
    return volumeOfPool<ThinPoolEnd>(frame, slu, [](const VELDARO_RefTable& table, int rlu) {
        return table.isThinproPoolInRluMode(rlu) ? poolOfGroup(table, rlu) : -1;
    });
}

// ---- row 12: free space of the thin pools ----

// The pools' allocation records (table 11): pool number, total and used
// size in MiB.
constexpr std::size_t ALLOCATION_RECORD_SIZE = 32;

struct Allocation {
    std::uint16_t pool;
    std::uint32_t totalMiB;
    std::uint32_t usedMiB;
};

bool allocations(const String& storage, std::vector<Allocation>& out, bool& present)
{
    SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
    if (!cache)
        return false;
    long count = 0;
    void* block = cache->GetExTableInfo(storage.c_str(), SMIS_CMTAccess::EX_THIN_POOL_ALARM, nullptr, count);
    std::unique_ptr<void, decltype(&std::free)> held(block, &std::free);
    present = block != nullptr && count > 0;
    const auto* bytes = static_cast<const std::uint8_t*>(block);
    for (long i = 0; present && i < count; ++i) {
        const std::uint8_t* record = bytes + static_cast<std::size_t>(i) * ALLOCATION_RECORD_SIZE;
        out.push_back({smis::loadLE16(record), smis::loadLE32(record + 4), smis::loadLE32(record + 8)});
    }
    return true;
}

bool freeOfThinPools(Frame& frame, int tppEntry)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        std::vector<Allocation> records;
        bool present = false;
        if (!allocations(frame.storage(), records, present))
            return false;
        if (!present)
            return true;
        return eachOf<ThinPoolEnd>(
            frame, tppEntry, THIN_POOLS, EVERY, [&](const VELDARO_RefTable& table, auto& pool, int tpp) {
                const std::uint16_t number = table.getTppPoolNumber(tpp);
                const auto record =
                    std::find_if(records.begin(), records.end(), [&](const Allocation& a) { return a.pool == number; });
                // A pool without an allocation record has no known free
                // space; the other pools still have theirs.
                if (record == records.end())
                    return true;
                return thenPair(pool, ThinFreeEnd::make(frame, tpp), NOTHING, [&](auto& p, auto& free) {
                    const std::uint64_t used = record->usedMiB, total = record->totalMiB;
                    emit(frame, p.release(), free.release(), 1, used == 0 ? 0 : used * MIB - 1, total * MIB - 1);
                });
            });
    });
}

// ---- rows 13 and 14: tiering pools ----

// The TPP indexes of a tiering pool's sub-pools, in sub-pool order (-1
// for a sub-pool number without an entry).
std::vector<int> subPoolsOf(const VELDARO_RefTable& table, int lxrp)
{
    std::vector<int> out;
    const int count = std::min<int>(table.getLxrpSubPoolCnt(lxrp), LXRP_SUB_POOL_SLOTS);
    for (int j = 0; j < count; ++j)
        out.push_back(table.searchPoolNoFromTppTable(table.getLxrpSubPoolNumber(lxrp, j)));
    return out;
}

bool volumesOfTieringPools(Frame& frame, int lxrpEntry)
{
    return volumesOfPools<TieringPoolEnd>(frame, lxrpEntry, TIERING_POOLS, [](const VELDARO_RefTable& table, int lxrp) {
        std::vector<int> slus;
        for (int tpp : subPoolsOf(table, lxrp)) {
            if (tpp < 0)
                continue;
            Array<int> groups;
            table.getRluIndexListInLayerixSubPool(tpp, groups);
            const std::vector<int> inSubPool = volumesInGroups(table, groups, LU_LXV);
            slus.insert(slus.end(), inSubPool.begin(), inSubPool.end());
        }
        return slus;
    });
}

bool volumeOfTieringPool(Frame& frame, int slu)
{
    return volumeOfPool<TieringPoolEnd>(frame, slu, [](const VELDARO_RefTable& table, int rlu) {
        if (!table.isLayerixSubPoolInRluMode(rlu))
            return -1;
        const int tpp = poolOfGroup(table, rlu);
        const std::uint8_t number = tpp < 0 ? 0xFF : table.getTppLxrpNumber(tpp);
        return number == 0xFF ? -1 : table.searchPoolNoFromLxrpTable(number);
    });
}

// A sub-pool at place j of its tiering pool, from byte 0 to its last byte.
void placeSubPool(CIM_BasedOn& a, const VELDARO_RefTable& table, int tpp, std::size_t j)
{
    place(a, static_cast<std::uint16_t>(j + 1), 0, Common::plainLastByte(table.getTppMaxPoolLbaCount(tpp)));
}

bool subPoolsOfTieringPools(Frame& frame, int lxrpEntry)
{
    return eachOf<TieringPoolEnd>(
        frame, lxrpEntry, TIERING_POOLS, EVERY, [&](const VELDARO_RefTable& table, auto& pool, int lxrp) {
            const std::vector<int> members = subPoolsOf(table, lxrp);
            VELDARO_LayerixSubExtent_Resource subs(frame.storage());
            return membersOf<VELDARO_LayerixSubExtent>(
                frame, pool.get(), Fixed_End_Walk::Fixed::SECOND, static_cast<int>(members.size()),
                [&](int j) {
                    return members[j] < 0 ? Association_End<VELDARO_LayerixSubExtent>::nothing()
                                          : Association_End<VELDARO_LayerixSubExtent>::build(subs, members[j]);
                },
                [&](CIM_BasedOn& a, const VELDARO_LayerixSubExtent&, std::uint16_t, int j) {
                    placeSubPool(a, table, members[j], static_cast<std::size_t>(j));
                });
        });
}

bool tieringPoolOfSubPool(Frame& frame, int tpp)
{
    return withTable(frame, [&](const VELDARO_RefTable& table) {
        const int lxrp = table.searchPoolNoFromLxrpTable(table.getTppLxrpNumber(tpp));
        if (lxrp < 0)
            return true;
        const std::vector<int> members = subPoolsOf(table, lxrp);
        const auto at = std::find(members.begin(), members.end(), tpp);
        if (at == members.end())
            return true;
        return onePair(TieringPoolEnd::make(frame, lxrp), NOTHING, SubPoolEnd::make(frame, tpp), NOTHING,
                       [&](auto& pool, auto& sub) {
                           emitWith(frame, sub.release(), pool.release(), [&](CIM_BasedOn& a) {
                               placeSubPool(a, table, tpp, static_cast<std::size_t>(at - members.begin()));
                           });
                       });
    });
}

// The pairs of a storage volume: its group's slice, its concatenation,
// and its thin or tiering pool, as its LU type has them.
bool volumePairs(Frame& frame, const Instance* source, int slu)
{
    std::uint8_t type = 0;
    std::uint16_t number = 0;
    const char* key = Common::keyText(source, "DeviceID");
    if (!key || !VELDARO_StorageVolume_Resource::divide_DeviceID(key, &type, &number))
        return true;
    if (!sliceOfGroup<VolumeEnd>(frame, slu, Slu_List::VOLUMES))
        return false;
    const bool inOluTable = type == LU_VOL || type == LU_MVV || type == LU_SDV || type == LU_SDP || type == LU_TPPC ||
                            type == LU_LXV || type == LU_WSV;
    if (inOluTable && !volumeOfConcatenation(frame, slu))
        return false;
    if (type == LU_TPPC)
        return volumeOfThinPool(frame, slu);
    if (type == LU_LXV)
        return volumeOfTieringPool(frame, slu);
    return true;
}

using Find = int (VELDARO_RefTable::*)(std::uint16_t) const;
constexpr Find DISK = &VELDARO_RefTable::searchPlunFromDiskTable;
constexpr Find OLU = &VELDARO_RefTable::searchOlunFromOluTable;
constexpr Find SLU = &VELDARO_RefTable::searchSlunFromSluTable;
constexpr Find RLU = &VELDARO_RefTable::searchRlunFromRluTable;
constexpr Find TPP = &VELDARO_RefTable::searchPoolNoFromTppTable;
constexpr Find LXRP = &VELDARO_RefTable::searchPoolNoFromLxrpTable;
constexpr auto EXTENT = Common::BY_SYSTEM_NAME;
// A SystemName that names no configured array: as for any other source of
// its class.
constexpr bool ASK = true;

template <auto Parse, Find Lookup>
constexpr auto BY_DEVICE_ID = Key_Index::of<Parse, Lookup, Key_Index::DEVICE_ID>;

const Frame::Source_Route ROUTES[] = {
    {&VELDARO_ConcatenatedExtent::static_meta_class, EXTENT,
     BY_DEVICE_ID<&VELDARO_ConcatenatedExtent_Resource::divide_DeviceID, OLU>,
     [](Frame& frame, const Instance*, int olu) {
         return partsOfConcatenations(frame, olu) && volumesOfConcatenations(frame, olu);
     },
     ASK},
    {&VELDARO_DiskExtent::static_meta_class, EXTENT, BY_DEVICE_ID<&VELDARO_DiskExtent_Resource::divide_DeviceID, DISK>,
     [](Frame& frame, const Instance*, int disk) {
         return diskOfMirrorGroup(frame, disk) && diskOfMirroredPair(frame, disk);
     },
     ASK},
    {&VELDARO_FreeExtent::static_meta_class, EXTENT, BY_DEVICE_ID<&VELDARO_FreeExtent_Resource::divide_DeviceID, RLU>,
     [](Frame& frame, const Instance* source, int rlu) {
         std::uint16_t number = 0;
         int place = 0;
         VELDARO_FreeExtent_Resource::divide_DeviceID(Common::keyText(source, "DeviceID"), &number, &place);
         return freeOfGroup(frame, rlu, place);
     },
     ASK},
    {&VELDARO_MirroredExtent::static_meta_class, EXTENT,
     BY_DEVICE_ID<&VELDARO_MirroredExtent_Resource::divide_DeviceID, DISK>,
     [](Frame& frame, const Instance*, int disk) { return disksOfMirroredPairOfDisk(frame, disk); }, ASK},
    {&VELDARO_PartOfConcatenatedExtent::static_meta_class, EXTENT,
     BY_DEVICE_ID<&VELDARO_PartOfConcatenatedExtent_Resource::divide_DeviceID, SLU>,
     [](Frame& frame, const Instance*, int slu) {
         return sliceOfGroup<PartEnd>(frame, slu, Slu_List::CONCATENATION_MEMBERS) && partOfConcatenation(frame, slu);
     },
     ASK},
    {&VELDARO_RAIDCompositeExtent::static_meta_class, EXTENT,
     BY_DEVICE_ID<&VELDARO_RAIDCompositeExtent_Resource::divide_DeviceID, RLU>,
     [](Frame& frame, const Instance*, int rlu) {
         return disksOfMirrorGroups(frame, rlu) && freeOfGroups(frame, rlu) &&
                slicesOfGroups<VolumeEnd>(frame, rlu, Slu_List::VOLUMES) &&
                slicesOfGroups<PartEnd>(frame, rlu, Slu_List::CONCATENATION_MEMBERS) &&
                slicesOfGroups<SdpvEnd>(frame, rlu, Slu_List::SNAP_DATA) &&
                groupsUnderPools<ThinPoolEnd>(frame, rlu, false) && groupsUnderPools<SubPoolEnd>(frame, rlu, true);
     },
     ASK},
    {&VELDARO_StorageVolume::static_meta_class, EXTENT,
     Key_Index::typedVolume<&VELDARO_StorageVolume_Resource::divide_DeviceID, Key_Index::DEVICE_ID>, volumePairs, ASK},
    {&VELDARO_SDPVExtent::static_meta_class, EXTENT,
     Key_Index::snapDataVolume<&VELDARO_SDPVExtent_Resource::divide_DeviceID, Key_Index::DEVICE_ID>,
     [](Frame& frame, const Instance*, int slu) {
         return sliceOfGroup<SdpvEnd>(frame, slu, Slu_List::SNAP_DATA) && snapDataOfSdpvExtents(frame, slu);
     },
     ASK},
    {&VELDARO_SnapDataCompositeExtent::static_meta_class, EXTENT, nullptr,
     [](Frame& frame, const Instance* source, int) {
         const char* key = Common::keyText(source, "DeviceID");
         return !key || sdpvExtentsOfSnapData(frame, String(key));
     },
     ASK},
    {&VELDARO_ThinProvisioningExtent::static_meta_class, EXTENT,
     BY_DEVICE_ID<&VELDARO_ThinProvisioningExtent_Resource::divide_DeviceID, TPP>,
     [](Frame& frame, const Instance*, int tpp) {
         return groupsOfPool<ThinPoolEnd>(frame, tpp, false) && volumesOfThinPools(frame, tpp) &&
                freeOfThinPools(frame, tpp);
     },
     ASK},
    {&VELDARO_ThinProvisioningFreeExtent::static_meta_class, EXTENT,
     BY_DEVICE_ID<&VELDARO_ThinProvisioningFreeExtent_Resource::divide_DeviceID, TPP>,
     [](Frame& frame, const Instance*, int tpp) { return freeOfThinPools(frame, tpp); }, ASK},
    {&VELDARO_LayerixExtent::static_meta_class, EXTENT,
     BY_DEVICE_ID<&VELDARO_LayerixExtent_Resource::divide_DeviceID, LXRP>,
     [](Frame& frame, const Instance*, int lxrp) {
         return volumesOfTieringPools(frame, lxrp) && subPoolsOfTieringPools(frame, lxrp);
     },
     ASK},
    {&VELDARO_LayerixSubExtent::static_meta_class, EXTENT,
     BY_DEVICE_ID<&VELDARO_LayerixSubExtent_Resource::divide_DeviceID, TPP>,
     [](Frame& frame, const Instance*, int tpp) {
         return tieringPoolOfSubPool(frame, tpp) && groupsOfPool<SubPoolEnd>(frame, tpp, true);
     },
     ASK},
};

}  // namespace

CIM_BasedOn_Provider::CIM_BasedOn_Provider() {}

CIM_BasedOn_Provider::~CIM_BasedOn_Provider() {}

bool CIM_BasedOn_Provider::_enumPairs()
{
    return disksOfMirrorGroups(*this, 0) && disksOfMirroredPairs(*this, 0) && freeOfGroups(*this, 0) &&
           slicesOfGroups<VolumeEnd>(*this, 0, Slu_List::VOLUMES) &&
           slicesOfGroups<PartEnd>(*this, 0, Slu_List::CONCATENATION_MEMBERS) && partsOfConcatenations(*this, 0) &&
           volumesOfConcatenations(*this, 0) && slicesOfGroups<SdpvEnd>(*this, 0, Slu_List::SNAP_DATA) &&
           snapDataOfSdpvExtents(*this, 0) && groupsUnderPools<ThinPoolEnd>(*this, 0, false) &&
           volumesOfThinPools(*this, 0) && freeOfThinPools(*this, 0) && volumesOfTieringPools(*this, 0) &&
           subPoolsOfTieringPools(*this, 0) && groupsUnderPools<SubPoolEnd>(*this, 0, true);
}

int CIM_BasedOn_Provider::_request(const Instance* source)
{
    return route(source, ROUTES);
}

}  // namespace cimple
