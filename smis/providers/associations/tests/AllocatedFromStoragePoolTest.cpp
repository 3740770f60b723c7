// Pools and what they give space to, on a small array built for it: a thin
// volume spread over two RAID groups of its pool, the pool's member groups,
// an ordinary volume and the allocation records of thin volumes.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "AssociationCalls.h"
#include "PoolFixture.h"
#include "Thin_Volume_Allocations.h"
#include "VELDARO_AllocatedFromStoragePool.h"
#include "VELDARO_AllocatedFromStoragePool_Provider.h"
#include "VELDARO_StorageVolume.h"
#include "VELDARO_ThinProvisioningPool.h"

using assoc_test::Held_List;
using cimple::VELDARO_AllocatedFromStoragePool;

namespace {

using namespace pool_test;

constexpr std::uint64_t BLOCK = 512;

class AllocatedFromStoragePool : public PoolProviders {
protected:
    void SetUp() override
    {
        PoolProviders::SetUp();
        CMTBuilder b;
        b.maxCounts({.olu = 8, .slu = 8, .rlu = 4, .dlu = 2, .mlu = 4});
        // Groups 0 and 1 make thin pool 1; group 2 is an ordinary group.
        raidGroup(b, 0).RaidLevel(1).Mode(0x01).PoolNumber(1).RlbaCount(1000).SluCount(1).Slun(0, 0);
        raidGroup(b, 1).RaidLevel(1).Mode(0x01).PoolNumber(1).RlbaCount(2000).SluCount(1).Slun(0, 1);
        raidGroup(b, 2).RaidLevel(1).RlbaCount(4000).SluCount(1).Slun(0, 2);
        b.tpp(1).MemDiskCnt(2).RaidLevel(1).MaxPoolLbaCount(3000).LxrpNumber(255).PoolName("TP1");
        // Thin volume 3: one slice in each group of the pool.
        b.olu(3).Status(0).SluCount(2).Slun(0, 0).Slun(1, 1).Name("THIN3");
        b.slu(0).Status(0).LuType(9).Olun(3).Rlun(0).SlbaCount(100);
        b.slu(1).Status(0).LuType(9).Olun(3).Rlun(1).SlbaCount(100);
        // Ordinary volume 4 in group 2.
        b.olu(4).Status(0).SluCount(1).Slun(0, 2).Name("VOL4");
        b.slu(2).Status(0).LuType(1).Olun(4).Rlun(2).SlbaCount(300);
        b.installCmf(A);
        dir.writeEnv({std::string("StorageIP=") + A});
    }

    // Thin volume 3: allocation of 64 MiB (table 10), 16 MiB consumed (table 7).
    static void allocationRecords(bool consumed = true)
    {
        SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
        ASSERT_NE(cache, nullptr);
        const auto volumes = thinRecords({{3, 0, 64}});
        ASSERT_EQ(cache->SetExTableInfo(A, SMIS_CMTAccess::EX_THIN_VOLUME_ALARM, nullptr, volumes.data(), 32, 1, 0), 0);
        if (!consumed)
            return;
        std::uint8_t record[8] = {3, 0, 0, 0, 16, 0, 0, 0};
        ASSERT_EQ(cache->SetExTableInfo(A, SMIS_CMTAccess::EX_THIN_VOLUME_ALLOCATION, nullptr, record, 8, 1, 0), 0);
    }

    // "Antecedent -> Dependent" with SpaceConsumed and VolumeConsumed.
    struct Pair {
        std::uint64_t space;
        std::uint64_t volume;
        bool operator==(const Pair&) const = default;
    };
    static std::string keyOf(const cimple::Instance* end)
    {
        const std::string device = assoc_test::text(end, "DeviceID");
        return device.empty() ? assoc_test::text(end, "InstanceID") : device;
    }
    static std::multimap<std::string, Pair> pairs(const Held_List& list)
    {
        std::multimap<std::string, Pair> out;
        for (const auto& i : list) {
            const auto* a = static_cast<const VELDARO_AllocatedFromStoragePool*>(i.get());
            EXPECT_FALSE(a->SpaceConsumed.null);
            EXPECT_FALSE(a->VolumeConsumed.null);
            out.emplace(keyOf(assoc_test::end(a, "Antecedent")) + " -> " + keyOf(assoc_test::end(a, "Dependent")),
                        Pair{a->SpaceConsumed.value, a->VolumeConsumed.value});
        }
        return out;
    }

    cimple::VELDARO_AllocatedFromStoragePool_Provider provider;
};

TEST_F(AllocatedFromStoragePool, AThinVolumeOverTwoGroupsOfItsPoolIsPairedOnceWithItsAllocation)
{
    allocationRecords();
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<VELDARO_AllocatedFromStoragePool>(provider, list), 0);
    const std::multimap<std::string, Pair> expected = {
        {"VELDARO:RSP0000_10.0.0.1 -> VELDARO:TPP0001_10.0.0.1", {1000 * BLOCK, 0}},
        {"VELDARO:RSP0001_10.0.0.1 -> VELDARO:TPP0001_10.0.0.1", {2000 * BLOCK, 0}},
        {"VELDARO:RSP0002_10.0.0.1 -> VOL00004", {300 * BLOCK, 0}},
        {"VELDARO:TPP0001_10.0.0.1 -> TPPC00003", {16 * MiB, 64 * MiB}},
    };
    auto got = pairs(list);
    // The array has no disks, so the primordial pool's pairs are not at issue here.
    std::erase_if(got, [](const auto& p) { return p.first.rfind("VELDARO:PSP", 0) == 0; });
    EXPECT_EQ(got, expected);

    // The thin volume's own request names its pool only, once.
    auto volume = assoc_test::Held(cimple::VELDARO_StorageVolume::create(true));
    auto* v = static_cast<cimple::VELDARO_StorageVolume*>(volume.get());
    v->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
    v->SystemName.set(A);
    v->CreationClassName.set("VELDARO_StorageVolume");
    v->DeviceID.set("TPPC00003");
    Held_List far;
    ASSERT_EQ(assoc_test::associators(provider, volume.get(), far, true), 0);
    ASSERT_EQ(far.size(), 1u);
    EXPECT_EQ(assoc_test::text(far[0].get(), "InstanceID"), "VELDARO:TPP0001_10.0.0.1");
}

TEST_F(AllocatedFromStoragePool, ThinVolumesNeedAnAllocationRecordAndTakeZeroWithoutAConsumedOne)
{
    // No records at all: no thin volume pair.
    Held_List none;
    ASSERT_EQ(assoc_test::enumerate<VELDARO_AllocatedFromStoragePool>(provider, none), 0);
    EXPECT_EQ(pairs(none).count("VELDARO:TPP0001_10.0.0.1 -> TPPC00003"), 0u);

    allocationRecords(false);
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<VELDARO_AllocatedFromStoragePool>(provider, list), 0);
    const auto got = pairs(list);
    ASSERT_EQ(got.count("VELDARO:TPP0001_10.0.0.1 -> TPPC00003"), 1u);
    EXPECT_EQ(got.find("VELDARO:TPP0001_10.0.0.1 -> TPPC00003")->second, (Pair{0, 64 * MiB}));
}

// An SDPV pool volume in group 0 whose snapshot pool number two records of
// the snapshot pool list carry: the volume goes with the first of them only,
// from either end and in the enumeration.
class SdpvAllocation : public PoolProviders {
protected:
    void SetUp() override
    {
        PoolProviders::SetUp();
        CMTBuilder b;
        b.maxCounts({.olu = 16, .slu = 8, .rlu = 4, .dlu = 2, .mlu = 4});
        raidGroup(b, 0).RaidLevel(1).RlbaCount(4000).SluCount(1).Slun(0, 0);
        b.olu(10).Status(0).SluCount(1).Slun(0, 0).Name("SDPV10");
        b.slu(0).Status(0).LuType(7).Olun(10).Rlun(0).SlbaCount(2048).SDPID(1);
        b.installCmf(A);
        dir.writeEnv({std::string("StorageIP=") + A});
        SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
        ASSERT_NE(cache, nullptr);
        std::vector<std::uint8_t> pools = snapRecord(1, {1000, 0, 0, 0, 0, 0});
        const std::vector<std::uint8_t> again = snapRecord(1, {2000, 0, 0, 0, 0, 0});
        pools.insert(pools.end(), again.begin(), again.end());
        ASSERT_EQ(cache->SetExTableInfo(A, SMIS_CMTAccess::EX_SNAP_DATA_POOL, nullptr, pools.data(), 64, 2, 0), 0);
    }

    // The SDPV pool to snapshot pool pairs of a list.
    static std::size_t sdpvPairs(const Held_List& list)
    {
        std::size_t n = 0;
        for (const auto& i : list) {
            const cimple::Instance* from = assoc_test::end(i.get(), "Antecedent");
            const cimple::Instance* to = assoc_test::end(i.get(), "Dependent");
            n += from && to && std::string(from->meta_class->name) == "VELDARO_SDPVPool" &&
                 std::string(to->meta_class->name) == "VELDARO_SnapDataPool";
        }
        return n;
    }

    cimple::VELDARO_AllocatedFromStoragePool_Provider provider;
};

TEST_F(SdpvAllocation, AnSdpvPoolGoesWithTheFirstSnapshotPoolOfItsNumberOnly)
{
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<VELDARO_AllocatedFromStoragePool>(provider, list), 0);
    ASSERT_EQ(sdpvPairs(list), 1u);
    for (const char* role : {"Antecedent", "Dependent"}) {
        const cimple::Instance* source = nullptr;
        for (const auto& i : list)
            if (!source && std::string(assoc_test::end(i.get(), "Antecedent")->meta_class->name) == "VELDARO_SDPVPool")
                source = assoc_test::end(i.get(), role);
        ASSERT_NE(source, nullptr) << role;
        Held_List far;
        ASSERT_EQ(assoc_test::associators(provider, source, far, true), 0) << role;
        std::size_t across = 0;
        for (const auto& f : far)
            across += std::string(f->meta_class->name) ==
                      (std::string(role) == "Antecedent" ? "VELDARO_SnapDataPool" : "VELDARO_SDPVPool");
        EXPECT_EQ(across, 1u) << "from the " << role;
    }
}

TEST(ThinVolumeAllocations, RecordCountsOfZeroOrLessReadNoRecordAndTheFirstRecordOfANumberCounts)
{
    const auto records = thinRecords({{3, 0, 64}, {3, 0, 99}, {5, 0, 7}});
    using cimple::Thin_Volume_Allocations;
    EXPECT_TRUE(Thin_Volume_Allocations::sizes(records.data(), -1, 32, 8).empty());
    EXPECT_TRUE(Thin_Volume_Allocations::sizes(records.data(), 0, 32, 8).empty());
    EXPECT_TRUE(Thin_Volume_Allocations::sizes(nullptr, 3, 32, 8).empty());
    const auto sizes = Thin_Volume_Allocations::sizes(records.data(), 3, 32, 8);
    EXPECT_EQ(sizes, (std::unordered_map<std::uint16_t, std::uint32_t>{{3, 64}, {5, 7}}));
}

}  // namespace
