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
#include "Table_Entries.h"

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
                                 "Table access conflict - Can't create PartOfConcatenatedExtent by searched SLU Index: %d",
                                 slu);
}

void logNoComposite(int rlu)
{
    SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE,
                                 "Table access conflict - Can't create RAIDCompositeExtent by searched RLU Index: %d",
                                 rlu);
}

// The emitter: the association of the lower extent (antecedent) and the
// extent built on it. An address of NO_VALUE stays null.
void place(CIM_BasedOn& a, std::uint16_t order, std::uint64_t start, std::uint64_t end)
{
    a.OrderIndex.set(order);
    Common::setUnlessNoValue(a.StartingAddress, start);
    Common::setUnlessNoValue(a.EndingAddress, end);
}

void emit(Frame& frame, Instance* antecedent, Instance* dependent, std::uint16_t order, std::uint64_t start,
          std::uint64_t end)
{
    frame.emit<CIM_BasedOn>(antecedent, dependent, frame.otherEnd(antecedent, dependent), true,
                            [&](CIM_BasedOn& a) { place(a, order, start, end); });
}

// The composite (kept) with each disk build(k) gives for k in range,
// numbered from 1 among the disks built, each from byte 0 to its last byte.
template <class Build>
bool disksUnder(Frame& frame, const Instance* composite, Index_Range range, Build build)
{
    return Fixed_End_Walk::numbered<CIM_BasedOn, VELDARO_DiskExtent>(
        frame, composite, Fixed_End_Walk::Fixed::SECOND, range, Fixed_End_Walk::Far::OTHER_END, true, build,
        [](CIM_BasedOn& a, const VELDARO_DiskExtent& disk, std::uint16_t order, int) {
            place(a, order, 0, Common::lastByte(valueOf(disk.BlockCount)));
        });
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
            if (Group::isFree(table, rlu) || table.getRaidLevel(rlu) != Group::RAID1)
                continue;
            auto composite = Association_End<VELDARO_RAIDCompositeExtent>::build(composites, rlu);
            if (composite.failed())
                return false;
            if (!composite.built())
                continue;
            disk_idx_list_in_rlu list{};
            const int n = Group::memberDisks(table, rlu, list);
            if (!disksUnder(frame, composite.get(), Index_Range::all(n), [&](int k) {
                    return Association_End<VELDARO_DiskExtent>::build(disks, static_cast<int>(list.DiskIdx[k]));
                }))
                return false;
        }
        return true;
    });
}

bool diskOfMirrorGroup(Frame& frame, int disk)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        const int rlu = Group::groupOfDisk(table, disk);
        if (rlu < 0 || table.getRaidLevel(rlu) != Group::RAID1)
            return true;
        disk_idx_list_in_rlu list{};
        const int n = Group::memberDisks(table, rlu, list);
        const auto* at = std::find(list.DiskIdx, list.DiskIdx + n, static_cast<std::uint32_t>(disk));
        if (at == list.DiskIdx + n)
            return true;
        auto composite = Association_End<VELDARO_RAIDCompositeExtent>::build(
            VELDARO_RAIDCompositeExtent_Resource(frame.storage()), rlu);
        if (composite.failed())
            return false;
        if (!composite.built()) {
            logNoComposite(rlu);
            return false;
        }
        auto member = Association_End<VELDARO_DiskExtent>::build(VELDARO_DiskExtent_Resource(frame.storage()), disk);
        if (member.failed())
            return false;
        if (!member.built())
            return true;
        const std::uint64_t end = Common::lastByte(valueOf(member->BlockCount));
        emit(frame, member.release(), composite.release(), static_cast<std::uint16_t>(at - list.DiskIdx + 1), 0, end);
        return true;
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
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_RAIDCompositeExtent_Resource composites(frame.storage());
        VELDARO_FreeExtent_Resource frees(frame.storage());
        return Free_Extent_List::eachGroup<VELDARO_RAIDCompositeExtent>(
            composites, frees, frame.walk(rluEntry, static_cast<int>(table.getRLUMaxCount())),
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
        auto composite = Association_End<VELDARO_RAIDCompositeExtent>::build(
            VELDARO_RAIDCompositeExtent_Resource(frame.storage()), rlu);
        if (composite.failed())
            return false;
        if (!composite.built()) {
            logNoComposite(rlu);
            return false;
        }
        emitFree(frame, composite.release(), extents.take(place), static_cast<std::uint16_t>(place + 1));
        return true;
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

// ---- row 2: disks under mirrored pairs of RAID1+0 groups ----

// Emits the disks of one mirrored pair (DLU) of a RAID1+0 group.
bool disksOfMirroredPair(Frame& frame, const VELDARO_RefTable& table, int rlu, int dlu,
                         VELDARO_MirroredExtent_Resource& mirrors, VELDARO_DiskExtent_Resource& disks)
{
    auto mirror = Association_End<VELDARO_MirroredExtent>::build(mirrors, rlu, dlu);
    if (mirror.failed())
        return false;
    if (!mirror.built())
        return true;
    return disksUnder(frame, mirror.get(), Index_Range::all(Group::DISK_SLOTS), [&](int slot) {
        const int disk = Group::slotDisk(table, dlu, slot);
        return disk < 0 ? Association_End<VELDARO_DiskExtent>::nothing()
                        : Association_End<VELDARO_DiskExtent>::build(disks, disk);
    });
}

bool disksOfMirroredPairs(Frame& frame, int rluEntry)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_MirroredExtent_Resource mirrors(frame.storage());
        VELDARO_DiskExtent_Resource disks(frame.storage());
        const auto range = frame.walk(rluEntry, static_cast<int>(table.getRLUMaxCount()));
        for (int rlu = range.begin; rlu < range.end; ++rlu) {
            if (Group::isFree(table, rlu) || table.getRaidLevel(rlu) != Group::RAID10)
                continue;
            const int members = Group::memberCount(table, rlu);
            for (int j = 0; j < members; ++j) {
                const int dlu = Group::memberDlu(table, rlu, j);
                if (dlu >= 0 && !disksOfMirroredPair(frame, table, rlu, dlu, mirrors, disks))
                    return false;
            }
        }
        return true;
    });
}

// The mirrored pair of a disk with every disk of it (a mirrored extent
// source names the pair by one of its disks).
bool disksOfMirroredPairOfDisk(Frame& frame, int disk)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        const int dlu = table.searchDlunFromDluTable(table.getDiskDlun(disk));
        const int rlu = dlu < 0 ? -1 : table.searchRlunFromRluTable(table.getDluRlun(dlu));
        if (rlu < 0 || Group::isFree(table, rlu) || table.getRaidLevel(rlu) != Group::RAID10)
            return true;
        VELDARO_MirroredExtent_Resource mirrors(frame.storage());
        VELDARO_DiskExtent_Resource disks(frame.storage());
        return disksOfMirroredPair(frame, table, rlu, dlu, mirrors, disks);
    });
}

bool diskOfMirroredPair(Frame& frame, int disk)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        const int dlu = table.searchDlunFromDluTable(table.getDiskDlun(disk));
        const int rlu = dlu < 0 ? -1 : table.searchRlunFromRluTable(table.getDluRlun(dlu));
        if (rlu < 0 || table.getRaidLevel(rlu) != Group::RAID10)
            return true;
        const std::uint16_t plun = table.getDiskPlun(disk);
        int place = 0;
        for (int slot = 0; slot < Group::DISK_SLOTS && place == 0; ++slot)
            if (table.getDluUsePlu(dlu, slot) == plun)
                place = slot + 1;
        if (place == 0)
            return true;
        auto mirror =
            Association_End<VELDARO_MirroredExtent>::build(VELDARO_MirroredExtent_Resource(frame.storage()), rlu, dlu);
        if (mirror.failed())
            return false;
        if (!mirror.built())
            return true;
        auto member = Association_End<VELDARO_DiskExtent>::build(VELDARO_DiskExtent_Resource(frame.storage()), disk);
        if (member.failed())
            return false;
        if (!member.built())
            return true;
        const std::uint64_t end = Common::lastByte(valueOf(member->BlockCount));
        emit(frame, member.release(), mirror.release(), static_cast<std::uint16_t>(place), 0, end);
        return true;
    });
}

// ---- rows 4, 5 and 8: slices of the RAID groups ----

void emitSlice(Frame& frame, const VELDARO_RefTable& table, Instance* composite, Instance* slice, int slu,
               std::size_t place)
{
    const std::uint64_t start = table.getSluStartRlba(slu);
    emit(frame, composite, slice, static_cast<std::uint16_t>(place + 1), start * Common::BLOCK_SIZE,
         Common::lastByte(start + table.getSlbaCount(slu)));
}

template <class Resource, class Model>
bool slicesOfGroups(Frame& frame, int rluEntry, Slu_List which)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_RAIDCompositeExtent_Resource composites(frame.storage());
        Resource slices(frame.storage());
        const auto range = frame.walk(rluEntry, static_cast<int>(table.getRLUMaxCount()));
        for (int rlu = range.begin; rlu < range.end; ++rlu) {
            auto composite = Association_End<VELDARO_RAIDCompositeExtent>::build(composites, rlu);
            if (composite.failed())
                return false;
            if (!composite.built())
                continue;
            const std::vector<int> list = sluList(table, rlu, which);
            for (std::size_t k = 0; k < list.size(); ++k) {
                auto slice = Association_End<Model>::build(slices, list[k]);
                if (slice.failed())
                    return false;
                if (slice.built())
                    emitSlice(frame, table, clone(composite.get()), slice.release(), list[k], k);
            }
        }
        return true;
    });
}

template <class Resource, class Model>
bool sliceOfGroup(Frame& frame, int slu, Slu_List which)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        const int rlu = table.searchRlunFromRluTable(table.getSluRlun(slu));
        if (rlu < 0)
            return true;
        const std::vector<int> list = sluList(table, rlu, which);
        const auto at = std::find(list.begin(), list.end(), slu);
        if (at == list.end())
            return true;
        auto composite = Association_End<VELDARO_RAIDCompositeExtent>::build(
            VELDARO_RAIDCompositeExtent_Resource(frame.storage()), rlu);
        if (composite.failed())
            return false;
        if (!composite.built()) {
            logNoComposite(rlu);
            return false;
        }
        auto slice = Association_End<Model>::build(Resource(frame.storage()), slu);
        if (slice.failed())
            return false;
        if (!slice.built()) {
            if (which == Slu_List::CONCATENATION_MEMBERS) {
                logNoPart(slu);
                return false;
            }
            return true;
        }
        emitSlice(frame, table, composite.release(), slice.release(), slu, static_cast<std::size_t>(at - list.begin()));
        return true;
    });
}

// ---- rows 6 and 7: concatenated volumes ----

bool partsOfConcatenations(Frame& frame, int oluEntry)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_ConcatenatedExtent_Resource concatenations(frame.storage());
        VELDARO_PartOfConcatenatedExtent_Resource parts(frame.storage());
        const auto range = frame.walk(oluEntry, static_cast<int>(table.getOLUMaxCount()));
        for (int olu = range.begin; olu < range.end; ++olu) {
            auto whole = Association_End<VELDARO_ConcatenatedExtent>::build(concatenations, olu);
            if (whole.failed())
                return false;
            if (!whole.built())
                continue;
            Array<int> members;
            table.getSluIndexListInOlu(olu, members);
            std::uint16_t order = 0;
            for (std::size_t k = 0; k < members.size(); ++k) {
                auto part = Association_End<VELDARO_PartOfConcatenatedExtent>::build(parts, members[k]);
                if (part.failed())
                    return false;
                if (!part.built())
                    continue;
                const std::uint64_t start = table.getSluStartOlba(members[k]);
                emit(frame, part.release(), clone(whole.get()), ++order, start * Common::BLOCK_SIZE,
                     Common::lastByte(start + table.getOlbaCount(members[k])));
            }
        }
        return true;
    });
}

bool partOfConcatenation(Frame& frame, int slu)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
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
        auto whole = Association_End<VELDARO_ConcatenatedExtent>::build(
            VELDARO_ConcatenatedExtent_Resource(frame.storage()), olu);
        if (whole.failed())
            return false;
        if (!whole.built())
            return true;
        auto part = Association_End<VELDARO_PartOfConcatenatedExtent>::build(
            VELDARO_PartOfConcatenatedExtent_Resource(frame.storage()), slu);
        if (part.failed())
            return false;
        if (!part.built()) {
            logNoPart(slu);
            return false;
        }
        const std::uint64_t start = table.getSluStartOlba(slu);
        emit(frame, part.release(), whole.release(), static_cast<std::uint16_t>(place + 1),
             start * Common::BLOCK_SIZE, Common::lastByte(start + table.getOlbaCount(slu)));
        return true;
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
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_ConcatenatedExtent_Resource concatenations(frame.storage());
        VELDARO_StorageVolume_Resource volumes(frame.storage());
        const auto range = frame.walk(oluEntry, static_cast<int>(table.getOLUMaxCount()));
        for (int olu = range.begin; olu < range.end; ++olu) {
            auto whole = Association_End<VELDARO_ConcatenatedExtent>::build(concatenations, olu);
            if (whole.failed())
                return false;
            if (!whole.built())
                continue;
            const int slu = table.searchSlunFromSluTable(table.getOluSlun(olu, 0));
            if (slu < 0)
                continue;
            auto volume = Association_End<VELDARO_StorageVolume>::build(volumes, slu);
            if (volume.failed())
                return false;
            if (volume.built())
                emitVolumeOfConcatenation(frame, whole, volume);
        }
        return true;
    });
}

bool volumeOfConcatenation(Frame& frame, int slu)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        const int olu = table.searchOlunFromOluTable(table.getSluOlun(slu));
        if (olu < 0)
            return true;
        auto whole = Association_End<VELDARO_ConcatenatedExtent>::build(
            VELDARO_ConcatenatedExtent_Resource(frame.storage()), olu);
        if (whole.failed())
            return false;
        if (!whole.built())
            return true;
        auto volume =
            Association_End<VELDARO_StorageVolume>::build(VELDARO_StorageVolume_Resource(frame.storage()), slu);
        if (volume.failed())
            return false;
        if (volume.built())
            emitVolumeOfConcatenation(frame, whole, volume);
        return true;
    });
}

// ---- row 9: snapshot data volumes under their pools' composites ----

bool isUnused(const VELDARO_RefTable& table, int slu)
{
    return (table.getSluStatus(slu) & 0xFF) == 6;
}

void emitSnapData(Frame& frame, const VELDARO_RefTable& table, Instance* extent, Instance* composite, int slu)
{
    emit(frame, extent, composite, 1, 0, Common::lastByte(table.getSlbaCount(slu)));
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
            if (!composite)
                continue;
            auto extent = Association_End<VELDARO_SDPVExtent>::build(extents, slu);
            if (extent.failed())
                return false;
            if (extent.built())
                emitSnapData(frame, table, extent.release(), clone(composite), slu);
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
        for (int slu = 0; slu < count; ++slu) {
            if (table.getSluSDPID(slu) != sdp)
                continue;
            auto extent = Association_End<VELDARO_SDPVExtent>::build(extents, slu);
            if (extent.failed())
                return false;
            if (extent.built())
                emitSnapData(frame, table, extent.release(), clone(composite), slu);
        }
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

template <class Resource, class Model>
bool groupsUnderPools(Frame& frame, int rluEntry, bool subPools)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_RAIDCompositeExtent_Resource composites(frame.storage());
        Resource pools(frame.storage());
        const auto range = frame.walk(rluEntry, static_cast<int>(table.getRLUMaxCount()));
        for (int rlu = range.begin; rlu < range.end; ++rlu) {
            if (Group::isFree(table, rlu) || (subPools && !table.isLayerixSubPoolInRluMode(rlu)))
                continue;
            const int tpp = poolOfGroup(table, rlu);
            if (tpp < 0)
                continue;
            auto composite = Association_End<VELDARO_RAIDCompositeExtent>::build(composites, rlu);
            if (composite.failed())
                return false;
            if (!composite.built())
                continue;
            auto pool = Association_End<Model>::build(pools, tpp);
            if (pool.failed())
                return false;
            if (pool.built())
                emit(frame, composite.release(), pool.release(), 1, 0, Common::plainLastByte(table.getRlbaCount(rlu)));
        }
        return true;
    });
}

// A pool extent with the composites of its groups.
template <class Resource, class Model>
bool groupsOfPool(Frame& frame, int tpp, bool subPool)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        Array<int> groups;
        if (subPool)
            table.getRluIndexListInLayerixSubPool(tpp, groups);
        else
            table.getRluIndexListInThinPro(tpp, groups);
        VELDARO_RAIDCompositeExtent_Resource composites(frame.storage());
        Resource pools(frame.storage());
        for (std::size_t k = 0; k < groups.size(); ++k) {
            auto pool = Association_End<Model>::build(pools, tpp);
            if (pool.failed())
                return false;
            if (!pool.built())
                return true;
            auto composite = Association_End<VELDARO_RAIDCompositeExtent>::build(composites, groups[k]);
            if (composite.failed())
                return false;
            if (!composite.built())
                continue;
            emit(frame, composite.release(), pool.release(), 1, 0,
                 Common::plainLastByte(table.getRlbaCount(groups[k])));
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

// The pool (kept) with each volume of slus, numbered from 1 among the
// volumes built, without addresses.
bool volumesOfPool(Frame& frame, const Instance* pool, const std::vector<int>& slus,
                   VELDARO_StorageVolume_Resource& volumes)
{
    return Fixed_End_Walk::numbered<CIM_BasedOn, VELDARO_StorageVolume>(
        frame, pool, Fixed_End_Walk::Fixed::FIRST, Index_Range::all(static_cast<int>(slus.size())),
        Fixed_End_Walk::Far::OTHER_END, true,
        [&](int k) { return Association_End<VELDARO_StorageVolume>::build(volumes, slus[k]); },
        [](CIM_BasedOn& a, const VELDARO_StorageVolume&, std::uint16_t order, int) {
            place(a, order, Common::NO_VALUE, Common::NO_VALUE);
        });
}

bool volumesOfThinPools(Frame& frame, int tppEntry)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_ThinProvisioningExtent_Resource pools(frame.storage());
        VELDARO_StorageVolume_Resource volumes(frame.storage());
        const auto range = frame.walk(tppEntry, Table_Entries::THIN_POOLS);
        for (int tpp = range.begin; tpp < range.end; ++tpp) {
            auto pool = Association_End<VELDARO_ThinProvisioningExtent>::build(pools, tpp);
            if (pool.failed())
                return false;
            if (!pool.built())
                continue;
            Array<int> groups;
            table.getRluIndexListInThinPro(tpp, groups);
            if (!volumesOfPool(frame, pool.get(), volumesInGroups(table, groups, LU_TPPC), volumes))
                return false;
        }
        return true;
    });
}

bool volumeOfThinPool(Frame& frame, int slu)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        const int rlu = table.searchRlunFromRluTable(table.getSluRlun(slu));
        if (rlu < 0 || !table.isThinproPoolInRluMode(rlu))
            return true;
        const int tpp = poolOfGroup(table, rlu);
        if (tpp < 0)
            return true;
        auto pool = Association_End<VELDARO_ThinProvisioningExtent>::build(
            VELDARO_ThinProvisioningExtent_Resource(frame.storage()), tpp);
        if (pool.failed())
            return false;
        if (!pool.built())
            return true;
        auto volume =
            Association_End<VELDARO_StorageVolume>::build(VELDARO_StorageVolume_Resource(frame.storage()), slu);
        if (volume.failed())
            return false;
        if (volume.built())
            emit(frame, pool.release(), volume.release(), 1, Common::NO_VALUE, Common::NO_VALUE);
        return true;
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
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_ThinProvisioningExtent_Resource pools(frame.storage());
        VELDARO_ThinProvisioningFreeExtent_Resource frees(frame.storage());
        const auto range = frame.walk(tppEntry, Table_Entries::THIN_POOLS);
        for (int tpp = range.begin; tpp < range.end; ++tpp) {
            auto pool = Association_End<VELDARO_ThinProvisioningExtent>::build(pools, tpp);
            if (pool.failed())
                return false;
            if (!pool.built())
                continue;
            const std::uint16_t number = table.getTppPoolNumber(tpp);
            const auto record = std::find_if(records.begin(), records.end(),
                                             [&](const Allocation& a) { return a.pool == number; });
            // A pool without an allocation record has no known free space;
            // the other pools still have theirs.
            if (record == records.end())
                continue;
            auto free = Association_End<VELDARO_ThinProvisioningFreeExtent>::build(frees, tpp);
            if (free.failed())
                return false;
            if (!free.built())
                continue;
            const std::uint64_t used = record->usedMiB, total = record->totalMiB;
            emit(frame, pool.release(), free.release(), 1, used == 0 ? 0 : used * MIB - 1, total * MIB - 1);
        }
        return true;
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
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_LayerixExtent_Resource pools(frame.storage());
        VELDARO_StorageVolume_Resource volumes(frame.storage());
        const auto range = frame.walk(lxrpEntry, Table_Entries::LAYERIX_POOLS);
        for (int lxrp = range.begin; lxrp < range.end; ++lxrp) {
            auto pool = Association_End<VELDARO_LayerixExtent>::build(pools, lxrp);
            if (pool.failed())
                return false;
            if (!pool.built())
                continue;
            std::vector<int> slus;
            for (int tpp : subPoolsOf(table, lxrp)) {
                if (tpp < 0)
                    continue;
                Array<int> groups;
                table.getRluIndexListInLayerixSubPool(tpp, groups);
                const std::vector<int> inSubPool = volumesInGroups(table, groups, LU_LXV);
                slus.insert(slus.end(), inSubPool.begin(), inSubPool.end());
            }
            if (!volumesOfPool(frame, pool.get(), slus, volumes))
                return false;
        }
        return true;
    });
}

bool volumeOfTieringPool(Frame& frame, int slu)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        const int rlu = table.searchRlunFromRluTable(table.getSluRlun(slu));
        if (rlu < 0 || !table.isLayerixSubPoolInRluMode(rlu))
            return true;
        const int tpp = poolOfGroup(table, rlu);
        const std::uint8_t number = tpp < 0 ? 0xFF : table.getTppLxrpNumber(tpp);
        const int lxrp = number == 0xFF ? -1 : table.searchPoolNoFromLxrpTable(number);
        if (lxrp < 0)
            return true;
        auto pool =
            Association_End<VELDARO_LayerixExtent>::build(VELDARO_LayerixExtent_Resource(frame.storage()), lxrp);
        if (pool.failed())
            return false;
        if (!pool.built())
            return true;
        auto volume =
            Association_End<VELDARO_StorageVolume>::build(VELDARO_StorageVolume_Resource(frame.storage()), slu);
        if (volume.failed())
            return false;
        if (volume.built())
            emit(frame, pool.release(), volume.release(), 1, Common::NO_VALUE, Common::NO_VALUE);
        return true;
    });
}

void emitSubPool(Frame& frame, const VELDARO_RefTable& table, Instance* sub, Instance* pool, int tpp, std::size_t j)
{
    emit(frame, sub, pool, static_cast<std::uint16_t>(j + 1), 0,
         Common::plainLastByte(table.getTppMaxPoolLbaCount(tpp)));
}

bool subPoolsOfTieringPools(Frame& frame, int lxrpEntry)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_LayerixExtent_Resource pools(frame.storage());
        VELDARO_LayerixSubExtent_Resource subs(frame.storage());
        const auto range = frame.walk(lxrpEntry, Table_Entries::LAYERIX_POOLS);
        for (int lxrp = range.begin; lxrp < range.end; ++lxrp) {
            auto pool = Association_End<VELDARO_LayerixExtent>::build(pools, lxrp);
            if (pool.failed())
                return false;
            if (!pool.built())
                continue;
            const std::vector<int> members = subPoolsOf(table, lxrp);
            for (std::size_t j = 0; j < members.size(); ++j) {
                if (members[j] < 0)
                    continue;
                auto sub = Association_End<VELDARO_LayerixSubExtent>::build(subs, members[j]);
                if (sub.failed())
                    return false;
                if (sub.built())
                    emitSubPool(frame, table, sub.release(), clone(pool.get()), members[j], j);
            }
        }
        return true;
    });
}

bool tieringPoolOfSubPool(Frame& frame, int tpp)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        const int lxrp = table.searchPoolNoFromLxrpTable(table.getTppLxrpNumber(tpp));
        if (lxrp < 0)
            return true;
        const std::vector<int> members = subPoolsOf(table, lxrp);
        const auto at = std::find(members.begin(), members.end(), tpp);
        if (at == members.end())
            return true;
        auto pool =
            Association_End<VELDARO_LayerixExtent>::build(VELDARO_LayerixExtent_Resource(frame.storage()), lxrp);
        if (pool.failed())
            return false;
        if (!pool.built())
            return true;
        auto sub =
            Association_End<VELDARO_LayerixSubExtent>::build(VELDARO_LayerixSubExtent_Resource(frame.storage()), tpp);
        if (sub.failed())
            return false;
        if (sub.built())
            emitSubPool(frame, table, sub.release(), pool.release(), tpp, static_cast<std::size_t>(at - members.begin()));
        return true;
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
    if (!sliceOfGroup<VELDARO_StorageVolume_Resource, VELDARO_StorageVolume>(frame, slu, Slu_List::VOLUMES))
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
         return sliceOfGroup<VELDARO_PartOfConcatenatedExtent_Resource, VELDARO_PartOfConcatenatedExtent>(
                    frame, slu, Slu_List::CONCATENATION_MEMBERS) &&
                partOfConcatenation(frame, slu);
     },
     ASK},
    {&VELDARO_RAIDCompositeExtent::static_meta_class, EXTENT,
     BY_DEVICE_ID<&VELDARO_RAIDCompositeExtent_Resource::divide_DeviceID, RLU>,
     [](Frame& frame, const Instance*, int rlu) {
         return disksOfMirrorGroups(frame, rlu) && freeOfGroups(frame, rlu) &&
                slicesOfGroups<VELDARO_StorageVolume_Resource, VELDARO_StorageVolume>(frame, rlu, Slu_List::VOLUMES) &&
                slicesOfGroups<VELDARO_PartOfConcatenatedExtent_Resource, VELDARO_PartOfConcatenatedExtent>(
                    frame, rlu, Slu_List::CONCATENATION_MEMBERS) &&
                slicesOfGroups<VELDARO_SDPVExtent_Resource, VELDARO_SDPVExtent>(frame, rlu, Slu_List::SNAP_DATA) &&
                groupsUnderPools<VELDARO_ThinProvisioningExtent_Resource, VELDARO_ThinProvisioningExtent>(frame, rlu,
                                                                                                          false) &&
                groupsUnderPools<VELDARO_LayerixSubExtent_Resource, VELDARO_LayerixSubExtent>(frame, rlu, true);
     },
     ASK},
    {&VELDARO_StorageVolume::static_meta_class, EXTENT,
     Key_Index::typedVolume<&VELDARO_StorageVolume_Resource::divide_DeviceID, Key_Index::DEVICE_ID>, volumePairs, ASK},
    {&VELDARO_SDPVExtent::static_meta_class, EXTENT,
     Key_Index::snapDataVolume<&VELDARO_SDPVExtent_Resource::divide_DeviceID, Key_Index::DEVICE_ID>,
     [](Frame& frame, const Instance*, int slu) {
         return sliceOfGroup<VELDARO_SDPVExtent_Resource, VELDARO_SDPVExtent>(frame, slu, Slu_List::SNAP_DATA) &&
                snapDataOfSdpvExtents(frame, slu);
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
         return groupsOfPool<VELDARO_ThinProvisioningExtent_Resource, VELDARO_ThinProvisioningExtent>(frame, tpp,
                                                                                                      false) &&
                volumesOfThinPools(frame, tpp) && freeOfThinPools(frame, tpp);
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
         return tieringPoolOfSubPool(frame, tpp) &&
                groupsOfPool<VELDARO_LayerixSubExtent_Resource, VELDARO_LayerixSubExtent>(frame, tpp, true);
     },
     ASK},
};

}  // namespace

CIM_BasedOn_Provider::CIM_BasedOn_Provider() {}

CIM_BasedOn_Provider::~CIM_BasedOn_Provider() {}

bool CIM_BasedOn_Provider::_enumPairs()
{
    return disksOfMirrorGroups(*this, 0) && disksOfMirroredPairs(*this, 0) && freeOfGroups(*this, 0) &&
           slicesOfGroups<VELDARO_StorageVolume_Resource, VELDARO_StorageVolume>(*this, 0, Slu_List::VOLUMES) &&
           slicesOfGroups<VELDARO_PartOfConcatenatedExtent_Resource, VELDARO_PartOfConcatenatedExtent>(
               *this, 0, Slu_List::CONCATENATION_MEMBERS) &&
           partsOfConcatenations(*this, 0) && volumesOfConcatenations(*this, 0) &&
           slicesOfGroups<VELDARO_SDPVExtent_Resource, VELDARO_SDPVExtent>(*this, 0, Slu_List::SNAP_DATA) &&
           snapDataOfSdpvExtents(*this, 0) &&
           groupsUnderPools<VELDARO_ThinProvisioningExtent_Resource, VELDARO_ThinProvisioningExtent>(*this, 0, false) &&
           volumesOfThinPools(*this, 0) && freeOfThinPools(*this, 0) && volumesOfTieringPools(*this, 0) &&
           subPoolsOfTieringPools(*this, 0) &&
           groupsUnderPools<VELDARO_LayerixSubExtent_Resource, VELDARO_LayerixSubExtent>(*this, 0, true);
}

int CIM_BasedOn_Provider::_request(const Instance* source)
{
    return route(source, ROUTES);
}

}  // namespace cimple
