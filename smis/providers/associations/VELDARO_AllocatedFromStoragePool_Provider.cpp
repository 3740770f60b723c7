// Every pool of an array with the pools and volumes whose space it gives,
// and how many bytes each of them takes: the primordial pool feeds the RAID
// pools; a RAID pool feeds its volumes, snapshot-data-pool volumes,
// thin-provisioning pools and tiering sub-pools; an SDPV pool feeds its
// snapshot data pool, which feeds its snapshot volumes; thin and tiering
// pools feed their volumes; a tiering sub-pool feeds its tiering pool.

#include "VELDARO_AllocatedFromStoragePool_Provider.h"

#include <optional>
#include <set>

#include "Association_End.h"
#include "Disk_Entry.h"
#include "Fixed_End_Walk.h"
#include "Key_Index.h"
#include "RAID_Group_Walk.h"
#include "SMIS_CopyLib.h"
#include "SMIS_TraceLog.h"
#include "Table_Entries.h"
#include "Thin_Volume_Allocations.h"
#include "VELDARO_AllocatedFromStoragePool.h"
#include "VELDARO_LayerixPool_Resource.h"
#include "VELDARO_LayerixSubPool_Resource.h"
#include "VELDARO_PrimordialStoragePool_Resource.h"
#include "VELDARO_RAIDStoragePool_Resource.h"
#include "VELDARO_SDPVPool_Resource.h"
#include "VELDARO_SnapDataPool_Resource.h"
#include "VELDARO_StorageVolume_Resource.h"
#include "VELDARO_ThinProvisioningPool_Resource.h"

namespace cimple {

namespace {

using Frame = Association_Parent_Frame;
using Common = Association_Provider_Frame;
using Allocated = VELDARO_AllocatedFromStoragePool;
using Group = RAID_Group_Walk;

constexpr std::uint64_t BLOCK = Common::BLOCK_SIZE;
constexpr std::uint16_t NONE = Group::NONE;
constexpr std::uint8_t NO_TIERING_POOL = 0xFF;

// LU types of the SLU table that this association tells apart.
constexpr std::uint8_t LU_SNAPSHOT = 4;
constexpr std::uint8_t LU_SDPV = 7;
constexpr std::uint8_t LU_THIN = 9;
constexpr std::uint8_t LU_TIERING = 11;

// RAID group modes: bit 0x02 keeps the group out of the volume and SDPV
// relations, bit 0x01 marks a pool member group.
constexpr std::uint8_t MODE_POOL = 0x01;
constexpr std::uint8_t MODE_EXCLUDED = 0x02;

// Delivers one (giving pool, taking element) pair; a request hands on the
// end that is not of the source's class.
void allocate(Frame& frame, Instance* pool, Instance* taker, std::uint64_t space, std::uint64_t volume = 0)
{
    frame.emit<Allocated>(pool, taker, frame.otherEnd(pool, taker), true, [&](Allocated& a) {
        a.SpaceConsumed.set(space);
        a.VolumeConsumed.set(volume);
    });
}

// Pairs two built ends when both exist; false when either build failed.
template <class Giver, class Taker>
bool allocateBuilt(Frame& frame, Association_End<Giver>&& giver, Association_End<Taker>&& taker, std::uint64_t space,
                   std::uint64_t volume = 0)
{
    if (giver.failed() || taker.failed())
        return false;
    if (giver.built() && taker.built())
        allocate(frame, giver.release(), taker.release(), space, volume);
    return true;
}

int rluCount(const VELDARO_RefTable& table)
{
    return static_cast<int>(table.getRLUMaxCount());
}

int sluCount(const VELDARO_RefTable& table)
{
    return static_cast<int>(table.getSLUMaxCount());
}

// Bytes of the member disks of a RAID group.
std::uint64_t raidDiskSpace(const VELDARO_RefTable& table, int rlu)
{
    std::uint64_t blocks = 0;
    for (int j = 0; j < Group::memberCount(table, rlu); ++j) {
        const int dlu = Group::memberDlu(table, rlu, j);
        for (int slot = 0; dlu >= 0 && slot < Group::DISK_SLOTS; ++slot) {
            const int disk = Group::slotDisk(table, dlu, slot);
            if (disk >= 0)
                blocks += Disk_Entry::blockCount(table, disk);
        }
    }
    return blocks * BLOCK;
}

// Bytes of a volume's slices that lie in one RAID group.
std::uint64_t volumeSpaceInRaid(const VELDARO_RefTable& table, std::uint16_t rlun, int olu)
{
    Array<int> slices;
    table.getSluIndexListInOlu(olu, slices);
    std::uint64_t blocks = 0;
    for (std::size_t k = 0; k < slices.size(); ++k)
        if (table.getSluRlun(slices[k]) == rlun)
            blocks += table.getSlbaCount(slices[k]);
    return blocks * BLOCK;
}

// Bytes of the copy session that makes a snapshot volume; none when the
// volume has no such session or it records no blocks.
std::optional<std::uint64_t> snapSessionSpace(const String& storage, const VELDARO_RefTable& table, int slu)
{
    constexpr std::uint8_t SNAPSHOT_COPIES = 3;  // copy types 3 and 4
    const std::uint16_t number = table.getSluOlun(slu);
    SMIS_CopyLib copies(storage.c_str());
    Array<unsigned short> sessions;
    if (copies.getSessionList(SNAPSHOT_COPIES, number, 1, nullptr, sessions) != 0)
        return std::nullopt;
    for (std::size_t k = 0; k < sessions.size(); ++k) {
        SMIS_COPY_SESSION_INFO session{};
        if (copies.getSessionInfo(sessions[k], session) != 0 ||
            static_cast<std::uint16_t>(session.DestinationVolume) != number)
            continue;
        const std::uint64_t blocks = (std::uint64_t(session.Value28) << 32) | session.Value24;
        if (blocks == 0)
            return std::nullopt;
        return blocks * BLOCK;
    }
    return std::nullopt;
}

// The primordial pool, if the array has one, for walk(primordial).
template <class Walk>
bool withPrimordialPool(Frame& frame, Walk walk)
{
    VELDARO_PrimordialStoragePool_Resource primordials(frame.storage());
    if (!buildList(primordials, &VELDARO_PrimordialStoragePool_Resource::createPrimordialStoragePool))
        return false;
    const Instance* primordial = firstListed(primordials);
    return !primordial || walk(primordial);
}

// ---- primordial pool to RAID pools ----

const char RAID_POOL_CONFLICT[] = "Table access conflict - Can't create RAIDStoragePool by searched RLU Index: %d";

bool primordialToRaidPools(Frame& frame, Index_Range rlus)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_RAIDStoragePool_Resource raids(frame.storage());
        return withPrimordialPool(frame, [&](const Instance* primordial) {
            return Fixed_End_Walk::pairs<Allocated, VELDARO_RAIDStoragePool>(
                frame, primordial, Fixed_End_Walk::Fixed::FIRST, rlus, Fixed_End_Walk::Far::OTHER_END, true,
                Association_End<VELDARO_RAIDStoragePool>::byIndex(raids),
                [&](Allocated& a, const VELDARO_RAIDStoragePool&, int rlu) {
                    a.SpaceConsumed.set(raidDiskSpace(table, rlu));
                    a.VolumeConsumed.set(0);
                });
        });
    });
}

// The primordial pair of one RAID pool that a request names: a key that
// resolved to an RLU index whose pool cannot be built is a table conflict,
// logged, and the request fails.
bool primordialToOneRaidPool(Frame& frame, int rlu)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        return withPrimordialPool(frame, [&](const Instance*) {
            auto pool = Association_End<VELDARO_RAIDStoragePool>::build(
                VELDARO_RAIDStoragePool_Resource(frame.storage()), rlu);
            if (pool.failed())
                return false;
            if (!pool.built()) {
                SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE, RAID_POOL_CONFLICT, rlu);
                return false;
            }
            VELDARO_RefTable table(frame.storage().c_str());
            return primordialToRaidPools(frame, Index_Range::one(rlu, rluCount(table)));
        });
    });
}

// ---- RAID pools to volumes ----

// Each RAID pool of the range in use and not excluded, built; body(table,
// rlu, pool) pairs it. A failed build fails the walk.
template <class Body>
bool eachRaidPool(Frame& frame, Index_Range rlus, std::uint8_t excludedModes, Body body)
{
    VELDARO_RefTable table(frame.storage().c_str());
    VELDARO_RAIDStoragePool_Resource raids(frame.storage());
    for (int rlu = rlus.begin; rlu < rlus.end; ++rlu) {
        if (Group::isFree(table, rlu) || (table.getRluMode(rlu) & excludedModes))
            continue;
        auto pool = Association_End<VELDARO_RAIDStoragePool>::build(raids, rlu);
        if (pool.failed())
            return false;
        if (pool.built() && !body(table, rlu, *pool))
            return false;
    }
    return true;
}

// Whether an SLU's volume takes its space from the RAID pool of group rlu:
// a thin or tiering volume in a pool member group takes it from its pool
// instead (elsewhere it has no pool but the RAID pool); SDPV volumes are
// pools of their own.
bool isRaidVolume(const VELDARO_RefTable& table, int slu, int rlu)
{
    const std::uint8_t luType = table.getLuType(slu);
    if (luType == LU_SDPV)
        return false;
    return !((luType == LU_THIN || luType == LU_TIERING) && (table.getRluMode(rlu) & MODE_POOL));
}

bool raidPoolsToVolumes(Frame& frame, Index_Range rlus)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_StorageVolume_Resource volumes(frame.storage());
        return eachRaidPool(frame, rlus, MODE_EXCLUDED, [&](const VELDARO_RefTable& table, int rlu,
                                                            const VELDARO_RAIDStoragePool& pool) {
            const std::uint16_t rlun = table.getRluRlun(rlu);
            std::set<std::uint16_t> paired;
            for (int k = 0; k < table.getRluSluCount(rlu); ++k) {
                const std::uint16_t slun = table.getRluSlun(rlu, k);
                const int slu = slun == NONE ? -1 : table.searchSlunFromSluTable(slun);
                if (slu < 0 || !isRaidVolume(table, slu, rlu))
                    continue;
                const std::uint16_t number = table.getSluOlun(slu);
                int olu = -1;
                if (number != NONE) {
                    olu = paired.count(number) ? -1 : table.searchOlunFromOluTable(number);
                    if (olu < 0)
                        continue;
                }
                auto volume = Association_End<VELDARO_StorageVolume>::build(volumes, slu);
                if (volume.failed())
                    return false;
                if (!volume.built())
                    continue;
                allocate(frame, clone(&pool), volume.release(), olu < 0 ? 0 : volumeSpaceInRaid(table, rlun, olu));
                paired.insert(number);
            }
            return true;
        });
    });
}

bool volumeToRaidPools(Frame& frame, int slu)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        auto volume = Association_End<VELDARO_StorageVolume>::build(VELDARO_StorageVolume_Resource(frame.storage()),
                                                                    slu);
        if (volume.failed())
            return false;
        if (!volume.built())
            return true;
        const std::uint16_t number = table.getSluOlun(slu);
        int olu = -1;
        Array<int> slices;
        if (number != NONE) {
            olu = table.searchOlunFromOluTable(number);
            if (olu < 0) {
                SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE,
                                             "Table access conflict - Couldn't find OLU table index by SLU table "
                                             "index that created StorageVolume instance: %d",
                                             slu);
                return false;
            }
            table.getSluIndexListInOlu(olu, slices);
        } else {
            slices.append(slu);
        }
        VELDARO_RAIDStoragePool_Resource raids(frame.storage());
        std::set<std::uint16_t> groups;
        for (std::size_t k = 0; k < slices.size(); ++k) {
            const std::uint16_t rlun = table.getSluRlun(slices[k]);
            if (!groups.insert(rlun).second)
                continue;
            const int rlu = table.searchRlunFromRluTable(rlun);
            if (rlu < 0 || Group::isFree(table, rlu) || (table.getRluMode(rlu) & MODE_EXCLUDED) ||
                !isRaidVolume(table, slu, rlu))
                continue;
            auto pool = Association_End<VELDARO_RAIDStoragePool>::build(raids, rlu);
            if (!pool.built()) {
                if (!pool.failed())
                    SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE, RAID_POOL_CONFLICT, rlu);
                return false;
            }
            allocate(frame, pool.release(), volume.copy(), olu < 0 ? 0 : volumeSpaceInRaid(table, rlun, olu));
        }
        return true;
    });
}

// ---- RAID pools to SDPV pools ----

std::uint64_t sliceBytes(const VELDARO_RefTable& table, int slu)
{
    return table.getSlbaCount(slu) * BLOCK;
}

bool raidPoolsToSdpvPools(Frame& frame, Index_Range rlus)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_SDPVPool_Resource sdpvs(frame.storage());
        return eachRaidPool(frame, rlus, MODE_POOL | MODE_EXCLUDED, [&](const VELDARO_RefTable& table, int rlu,
                                                                      const VELDARO_RAIDStoragePool& pool) {
            Array<std::uint16_t> sluns;
            table.getSlunListWithRlu(table.getRluRlun(rlu), sluns);
            for (std::size_t k = 0; k < sluns.size(); ++k) {
                const int slu = sluns[k] == NONE ? -1 : table.searchSlunFromSluTable(sluns[k]);
                if (slu < 0 || table.getLuType(slu) != LU_SDPV)
                    continue;
                auto sdpv = Association_End<VELDARO_SDPVPool>::build(sdpvs, slu);
                if (sdpv.failed())
                    return false;
                if (sdpv.built())
                    allocate(frame, clone(&pool), sdpv.release(), sliceBytes(table, slu));
            }
            return true;
        });
    });
}

bool sdpvPoolToRaidPool(Frame& frame, int slu)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        const int rlu = table.searchRlunFromRluTable(table.getSluRlun(slu));
        if (rlu < 0 || Group::isFree(table, rlu) || (table.getRluMode(rlu) & (MODE_POOL | MODE_EXCLUDED)))
            return true;
        return allocateBuilt(
            frame,
            Association_End<VELDARO_RAIDStoragePool>::build(VELDARO_RAIDStoragePool_Resource(frame.storage()), rlu),
            Association_End<VELDARO_SDPVPool>::build(VELDARO_SDPVPool_Resource(frame.storage()), slu),
            sliceBytes(table, slu));
    });
}

// ---- SDPV pools and snapshot volumes of the snapshot data pools ----

// Which listed pools of one 8-bit id a slice goes with.
enum class Pools_Of_Id { EVERY, FIRST };

// The snapshot data pools of the array (those whose InstanceID is `only`,
// when given), each with its 8-bit pool number; body(pool, number). With
// FIRST, a pool whose number an earlier listed pool has is passed over,
// whether or not `only` names it.
template <class Body>
bool eachSnapDataPool(Frame& frame, const String* only, Pools_Of_Id which, Body body)
{
    VELDARO_SnapDataPool_Resource pools(frame.storage());
    std::set<std::uint8_t> seen;
    return eachListed(pools, &VELDARO_SnapDataPool_Resource::createSnapDataPool, [&](VELDARO_SnapDataPool* pool) {
        const auto id = static_cast<std::uint8_t>(pool->SDPID.value & 0xFF);
        if (which == Pools_Of_Id::FIRST && !seen.insert(id).second)
            return true;
        if (only && (pool->InstanceID.null || pool->InstanceID.value != *only))
            return true;
        return body(*pool, id);
    });
}

// The SLUs of the range of LU type luType whose snapshot data pool id is
// that of a listed pool (or of the one `only` names): body(pool, slu).
template <class Body>
bool eachSnapDataSlice(Frame& frame, const VELDARO_RefTable& table, Index_Range slus, const String* only,
                       std::uint8_t luType, Pools_Of_Id which, Body body)
{
    return eachSnapDataPool(frame, only, which, [&](const VELDARO_SnapDataPool& pool, std::uint8_t id) {
        for (int slu = slus.begin; slu < slus.end; ++slu)
            if (table.getLuType(slu) == luType && table.getSluSDPID(slu) == id && !body(pool, slu))
                return false;
        return true;
    });
}

bool sdpvPoolsToSnapDataPools(Frame& frame, Index_Range slus, const String* only)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_SDPVPool_Resource sdpvs(frame.storage());
        // An SDPV pool goes with the first listed pool of its id only.
        return eachSnapDataSlice(frame, table, slus, only, LU_SDPV, Pools_Of_Id::FIRST,
                                 [&](const VELDARO_SnapDataPool& pool, int slu) {
            auto sdpv = Association_End<VELDARO_SDPVPool>::build(sdpvs, slu);
            if (sdpv.built())
                allocate(frame, sdpv.release(), clone(&pool), sliceBytes(table, slu));
            return !sdpv.failed();
        });
    });
}

bool snapDataPoolsToVolumes(Frame& frame, Index_Range slus, const String* only)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_StorageVolume_Resource volumes(frame.storage());
        return eachSnapDataSlice(frame, table, slus, only, LU_SNAPSHOT, Pools_Of_Id::EVERY,
                                 [&](const VELDARO_SnapDataPool& pool, int slu) {
                                     const auto space = snapSessionSpace(frame.storage(), table, slu);
                                     if (!space)
                                         return true;
                                     auto volume = Association_End<VELDARO_StorageVolume>::build(volumes, slu);
                                     if (volume.built())
                                         allocate(frame, clone(&pool), volume.release(), *space);
                                     return !volume.failed();
                                 });
    });
}

// ---- RAID pools to thin pools and tiering sub-pools ----

// The thin-pool table entry of a RAID group that `inMode` places in a pool,
// or -1.
int poolEntryOfGroup(const VELDARO_RefTable& table, int rlu, bool (VELDARO_RefTable::*inMode)(int) const)
{
    if (rlu < 0 || Group::isFree(table, rlu) || !(table.*inMode)(rlu))
        return -1;
    const std::uint16_t number = table.getRluPoolNumber(rlu);
    return number == NONE ? -1 : table.searchPoolNoFromTppTable(number);
}

// Each RAID group of the range in `inMode` with the pool entry it belongs
// to, built as Pool through its Resource.
template <class Pool, class Resource>
bool raidPoolsToPoolEntries(Frame& frame, Index_Range rlus, bool (VELDARO_RefTable::*inMode)(int) const)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_RAIDStoragePool_Resource raids(frame.storage());
        Resource pools(frame.storage());
        for (int rlu = rlus.begin; rlu < rlus.end; ++rlu) {
            const int tpp = poolEntryOfGroup(table, rlu, inMode);
            if (tpp < 0)
                continue;
            if (!allocateBuilt(frame, Association_End<VELDARO_RAIDStoragePool>::build(raids, rlu),
                               Association_End<Pool>::build(pools, tpp), table.getRlbaCount(rlu) * BLOCK))
                return false;
        }
        return true;
    });
}

// The RAID groups of one pool entry (listed by `groups`) with the pool.
template <class Pool, class Resource>
bool poolEntryToRaidPools(Frame& frame, int tpp, int (VELDARO_RefTable::*groups)(int, Array<int>&) const)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        auto pool = Association_End<Pool>::build(Resource(frame.storage()), tpp);
        if (pool.failed())
            return false;
        if (!pool.built())
            return true;
        Array<int> rlus;
        (table.*groups)(tpp, rlus);
        VELDARO_RAIDStoragePool_Resource raids(frame.storage());
        for (std::size_t k = 0; k < rlus.size(); ++k) {
            auto raid = Association_End<VELDARO_RAIDStoragePool>::build(raids, rlus[k]);
            if (raid.failed())
                return false;
            if (raid.built())
                allocate(frame, raid.release(), pool.copy(), table.getRlbaCount(rlus[k]) * BLOCK);
        }
        return true;
    });
}

// ---- thin and tiering pools to their volumes ----

// The volumes of LU type luType in the RAID groups of the thin-pool entries
// tpps, each once (a volume may span several groups), that have an
// allocation record; paired with a clone of pool.
bool poolToVolumes(Frame& frame, const VELDARO_RefTable& table, const Thin_Volume_Allocations& allocations,
                   const Instance& pool, const std::vector<int>& tpps, std::uint8_t luType)
{
    VELDARO_StorageVolume_Resource volumes(frame.storage());
    std::set<std::uint16_t> paired;
    for (int tpp : tpps) {
        Array<int> rlus;
        if (luType == LU_THIN)
            table.getRluIndexListInThinPro(tpp, rlus);
        else
            table.getRluIndexListInLayerixSubPool(tpp, rlus);
        for (std::size_t r = 0; r < rlus.size(); ++r) {
            Array<std::uint16_t> sluns;
            table.getSlunListWithRlu(table.getRluRlun(rlus[r]), sluns);
            for (std::size_t k = 0; k < sluns.size(); ++k) {
                const int slu = sluns[k] == NONE ? -1 : table.searchSlunFromSluTable(sluns[k]);
                if (slu < 0 || table.getLuType(slu) != luType)
                    continue;
                const std::uint16_t number = table.getSluOlun(slu);
                const auto allocation = allocations.of(number);
                if (!allocation || paired.count(number))
                    continue;
                auto volume = Association_End<VELDARO_StorageVolume>::build(volumes, slu);
                if (volume.failed())
                    return false;
                if (!volume.built())
                    continue;
                allocate(frame, clone(&pool), volume.release(), allocation->consumed, allocation->volume);
                paired.insert(number);
            }
        }
    }
    return true;
}

// The thin-pool entries of a tiering pool's sub-pools.
std::vector<int> subPoolEntries(const VELDARO_RefTable& table, int lxrp)
{
    std::vector<int> out;
    for (int j = 0; j < table.getLxrpSubPoolCnt(lxrp); ++j) {
        const int tpp = table.searchPoolNoFromTppTable(table.getLxrpSubPoolNumber(lxrp, j));
        if (tpp >= 0)
            out.push_back(tpp);
    }
    return out;
}

// The thin-pool entries whose RAID groups hold a pool's volumes: a thin
// pool's own entry, a tiering pool's sub-pools.
std::vector<int> ownEntry(const VELDARO_RefTable&, int tpp)
{
    return {tpp};
}

// Each pool of the range (built as Pool) with the volumes of LU type luType
// in the RAID groups of its entries.
template <class Pool, class Resource>
bool poolsToVolumes(Frame& frame, Index_Range range, std::vector<int> (*entries)(const VELDARO_RefTable&, int),
                    std::uint8_t luType)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        const Thin_Volume_Allocations allocations(frame.storage());
        if (allocations.empty())
            return true;
        VELDARO_RefTable table(frame.storage().c_str());
        Resource pools(frame.storage());
        return eachEnd<Pool>(pools, range, [&](Association_End<Pool>& pool, int i) {
            return poolToVolumes(frame, table, allocations, *pool, entries(table, i), luType);
        });
    });
}

bool thinPoolsToVolumes(Frame& frame, Index_Range tpps)
{
    return poolsToVolumes<VELDARO_ThinProvisioningPool, VELDARO_ThinProvisioningPool_Resource>(frame, tpps, ownEntry,
                                                                                              LU_THIN);
}

bool layerixPoolsToVolumes(Frame& frame, Index_Range lxrps)
{
    return poolsToVolumes<VELDARO_LayerixPool, VELDARO_LayerixPool_Resource>(frame, lxrps, subPoolEntries, LU_TIERING);
}

// The thin or tiering pool entry that holds a pool volume's RAID group, or
// -1.
int thinPoolOfVolume(const VELDARO_RefTable& table, int slu)
{
    return poolEntryOfGroup(table, table.searchRlunFromRluTable(table.getSluRlun(slu)),
                            &VELDARO_RefTable::isThinproPoolInRluMode);
}

int tieringPoolOfVolume(const VELDARO_RefTable& table, int slu)
{
    const int tpp = poolEntryOfGroup(table, table.searchRlunFromRluTable(table.getSluRlun(slu)),
                                     &VELDARO_RefTable::isLayerixSubPoolInRluMode);
    const std::uint8_t lxrp = tpp < 0 ? NO_TIERING_POOL : table.getTppLxrpNumber(tpp);
    return lxrp == NO_TIERING_POOL ? -1 : table.searchPoolNoFromLxrpTable(lxrp);
}

template <class Pool, class Resource>
bool volumeToPool(Frame& frame, int slu, int (*poolOf)(const VELDARO_RefTable&, int))
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        const int entry = poolOf(table, slu);
        if (entry < 0)
            return true;
        const auto allocation = Thin_Volume_Allocations(frame.storage()).of(table.getSluOlun(slu));
        if (!allocation)
            return true;
        return allocateBuilt(
            frame, Association_End<Pool>::build(Resource(frame.storage()), entry),
            Association_End<VELDARO_StorageVolume>::build(VELDARO_StorageVolume_Resource(frame.storage()), slu),
            allocation->consumed, allocation->volume);
    });
}

// ---- tiering sub-pools to their tiering pools ----

bool subPoolsToLayerixPools(Frame& frame, Index_Range lxrps)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        VELDARO_LayerixSubPool_Resource subs(frame.storage());
        VELDARO_LayerixPool_Resource pools(frame.storage());
        return eachEnd<VELDARO_LayerixPool>(
            pools, lxrps,
            [&](Association_End<VELDARO_LayerixPool>& pool, int lxrp) {
                for (int tpp : subPoolEntries(table, lxrp)) {
                    auto sub = Association_End<VELDARO_LayerixSubPool>::build(subs, tpp);
                    if (sub.failed())
                        return false;
                    if (sub.built())
                        allocate(frame, sub.release(), pool.copy(), table.getTppMaxPoolLbaCount(tpp) * BLOCK);
                }
                return true;
            });
    });
}

bool subPoolToLayerixPool(Frame& frame, int tpp)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_RefTable table(frame.storage().c_str());
        const std::uint8_t number = table.getTppLxrpNumber(tpp);
        const int lxrp = number == NO_TIERING_POOL ? -1 : table.searchPoolNoFromLxrpTable(number);
        if (lxrp < 0)
            return true;
        // Only a sub-pool the tiering pool lists.
        bool listed = false;
        for (int entry : subPoolEntries(table, lxrp))
            listed = listed || entry == tpp;
        if (!listed)
            return true;
        return allocateBuilt(
            frame, Association_End<VELDARO_LayerixSubPool>::build(VELDARO_LayerixSubPool_Resource(frame.storage()), tpp),
            Association_End<VELDARO_LayerixPool>::build(VELDARO_LayerixPool_Resource(frame.storage()), lxrp),
            table.getTppMaxPoolLbaCount(tpp) * BLOCK);
    });
}

// ---- the whole array and the request routes ----

bool everyPair(Frame& frame)
{
    VELDARO_RefTable table(frame.storage().c_str());
    const auto rlus = Index_Range::all(rluCount(table));
    const auto slus = Index_Range::all(sluCount(table));
    const auto tpps = Index_Range::all(Table_Entries::THIN_POOLS);
    const auto lxrps = Index_Range::all(Table_Entries::LAYERIX_POOLS);
    return primordialToRaidPools(frame, rlus) && raidPoolsToVolumes(frame, rlus) &&
           raidPoolsToSdpvPools(frame, rlus) && sdpvPoolsToSnapDataPools(frame, slus, nullptr) &&
           snapDataPoolsToVolumes(frame, slus, nullptr) &&
           raidPoolsToPoolEntries<VELDARO_ThinProvisioningPool, VELDARO_ThinProvisioningPool_Resource>(
               frame, rlus, &VELDARO_RefTable::isThinproPoolInRluMode) &&
           thinPoolsToVolumes(frame, tpps) && layerixPoolsToVolumes(frame, lxrps) &&
           subPoolsToLayerixPools(frame, lxrps) &&
           raidPoolsToPoolEntries<VELDARO_LayerixSubPool, VELDARO_LayerixSubPool_Resource>(
               frame, rlus, &VELDARO_RefTable::isLayerixSubPoolInRluMode);
}

bool raidPoolPairs(Frame& frame, int rlu)
{
    VELDARO_RefTable table(frame.storage().c_str());
    const auto one = Index_Range::one(rlu, rluCount(table));
    return primordialToOneRaidPool(frame, rlu) && raidPoolsToVolumes(frame, one) && raidPoolsToSdpvPools(frame, one) &&
           raidPoolsToPoolEntries<VELDARO_ThinProvisioningPool, VELDARO_ThinProvisioningPool_Resource>(
               frame, one, &VELDARO_RefTable::isThinproPoolInRluMode) &&
           raidPoolsToPoolEntries<VELDARO_LayerixSubPool, VELDARO_LayerixSubPool_Resource>(
               frame, one, &VELDARO_RefTable::isLayerixSubPoolInRluMode);
}

bool volumePairs(Frame& frame, int slu)
{
    VELDARO_RefTable table(frame.storage().c_str());
    switch (table.getLuType(slu)) {
    case LU_THIN:
        return volumeToPool<VELDARO_ThinProvisioningPool, VELDARO_ThinProvisioningPool_Resource>(frame, slu,
                                                                                                 thinPoolOfVolume) &&
               volumeToRaidPools(frame, slu);
    case LU_TIERING:
        return volumeToPool<VELDARO_LayerixPool, VELDARO_LayerixPool_Resource>(frame, slu, tieringPoolOfVolume) &&
               volumeToRaidPools(frame, slu);
    case LU_SNAPSHOT:
        return volumeToRaidPools(frame, slu) &&
               snapDataPoolsToVolumes(frame, Index_Range::one(slu, sluCount(table)), nullptr);
    default:
        return volumeToRaidPools(frame, slu);
    }
}

bool sdpvPoolPairs(Frame& frame, int slu)
{
    VELDARO_RefTable table(frame.storage().c_str());
    return sdpvPoolToRaidPool(frame, slu) &&
           sdpvPoolsToSnapDataPools(frame, Index_Range::one(slu, sluCount(table)), nullptr);
}

bool snapDataPoolPairs(Frame& frame, const Instance* source)
{
    const String* id = Common::stringValue(source, "InstanceID");
    if (!id)
        return true;
    VELDARO_RefTable table(frame.storage().c_str());
    const auto slus = Index_Range::all(sluCount(table));
    return sdpvPoolsToSnapDataPools(frame, slus, id) && snapDataPoolsToVolumes(frame, slus, id);
}

bool thinPoolPairs(Frame& frame, int tpp)
{
    return poolEntryToRaidPools<VELDARO_ThinProvisioningPool, VELDARO_ThinProvisioningPool_Resource>(
               frame, tpp, &VELDARO_RefTable::getRluIndexListInThinPro) &&
           thinPoolsToVolumes(frame, Index_Range::one(tpp, Table_Entries::THIN_POOLS));
}

bool layerixPoolPairs(Frame& frame, int lxrp)
{
    const auto one = Index_Range::one(lxrp, Table_Entries::LAYERIX_POOLS);
    return layerixPoolsToVolumes(frame, one) && subPoolsToLayerixPools(frame, one);
}

bool subPoolPairs(Frame& frame, int tpp)
{
    return subPoolToLayerixPool(frame, tpp) &&
           poolEntryToRaidPools<VELDARO_LayerixSubPool, VELDARO_LayerixSubPool_Resource>(
               frame, tpp, &VELDARO_RefTable::getRluIndexListInLayerixSubPool);
}

using Find = int (VELDARO_RefTable::*)(std::uint16_t) const;
constexpr Find RLU = &VELDARO_RefTable::searchRlunFromRluTable;
constexpr Find TPP = &VELDARO_RefTable::searchPoolNoFromTppTable;
constexpr Find LXRP = &VELDARO_RefTable::searchPoolNoFromLxrpTable;

const Frame::Source_Route ROUTES[] = {
    {&VELDARO_PrimordialStoragePool::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance*, int) {
         return primordialToRaidPools(frame, Index_Range::all(rluCount(VELDARO_RefTable(frame.storage().c_str()))));
     }},
    {&VELDARO_RAIDStoragePool::static_meta_class, Common::BY_INSTANCE_ID,
     Key_Index::of<&VELDARO_RAIDStoragePool_Resource::divide_InstanceID, RLU, Key_Index::INSTANCE_ID>,
     [](Frame& frame, const Instance*, int rlu) { return raidPoolPairs(frame, rlu); }},
    {&VELDARO_StorageVolume::static_meta_class, Common::BY_SYSTEM_NAME,
     Key_Index::typedVolume<&VELDARO_StorageVolume_Resource::divide_DeviceID, Key_Index::DEVICE_ID>,
     [](Frame& frame, const Instance*, int slu) { return volumePairs(frame, slu); }},
    {&VELDARO_SDPVPool::static_meta_class, Common::BY_INSTANCE_ID,
     Key_Index::snapDataVolume<&VELDARO_SDPVPool_Resource::divide_InstanceID, Key_Index::INSTANCE_ID>,
     [](Frame& frame, const Instance*, int slu) { return sdpvPoolPairs(frame, slu); }},
    {&VELDARO_SnapDataPool::static_meta_class, Common::BY_INSTANCE_ID, nullptr,
     [](Frame& frame, const Instance* source, int) { return snapDataPoolPairs(frame, source); }},
    {&VELDARO_ThinProvisioningPool::static_meta_class, Common::BY_INSTANCE_ID,
     Key_Index::of<&VELDARO_ThinProvisioningPool_Resource::divide_InstanceID, TPP, Key_Index::INSTANCE_ID>,
     [](Frame& frame, const Instance*, int tpp) { return thinPoolPairs(frame, tpp); }},
    {&VELDARO_LayerixPool::static_meta_class, Common::BY_INSTANCE_ID,
     Key_Index::of<&VELDARO_LayerixPool_Resource::divide_InstanceID, LXRP, Key_Index::INSTANCE_ID>,
     [](Frame& frame, const Instance*, int lxrp) { return layerixPoolPairs(frame, lxrp); }},
    {&VELDARO_LayerixSubPool::static_meta_class, Common::BY_INSTANCE_ID,
     Key_Index::of<&VELDARO_LayerixSubPool_Resource::divide_InstanceID, TPP, Key_Index::INSTANCE_ID>,
     [](Frame& frame, const Instance*, int tpp) { return subPoolPairs(frame, tpp); }},
};

}  // namespace

VELDARO_AllocatedFromStoragePool_Provider::VELDARO_AllocatedFromStoragePool_Provider() {}

VELDARO_AllocatedFromStoragePool_Provider::~VELDARO_AllocatedFromStoragePool_Provider() {}

bool VELDARO_AllocatedFromStoragePool_Provider::_enumPairs()
{
    return everyPair(*this);
}

int VELDARO_AllocatedFromStoragePool_Provider::_request(const Instance* source)
{
    return route(source, ROUTES);
}

}  // namespace cimple
