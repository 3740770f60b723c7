// Snap data pool volume extents and snap data composite extents (each pool
// as a whole, from the pool records of the status table) through the
// framework adapter.

#include <gtest/gtest.h>

#include <vector>

#include "ByteOrder.h"
#include "ProviderTestBed.h"
#include "SMIS_CMTAccess.h"
#include "VELDARO_SDPVExtent.h"
#include "VELDARO_SnapDataCompositeExtent.h"

using cimple::Instance_List;
using cimple::Instance_Ptr;
using cimple::VELDARO_SDPVExtent;
using cimple::VELDARO_SnapDataCompositeExtent;
using smis::test::CMTBuilder;

namespace {

constexpr const char* A = "10.0.0.1";

CMT_SLUW poolVolume(CMTBuilder& b, std::uint16_t slun, std::uint16_t olun, std::uint16_t rlun, std::uint8_t pool,
                    std::uint64_t blocks)
{
    return b.slu(slun).Status(0).LuType(7).Rlun(rlun).Olun(olun).SDPID(pool).SlbaCount(blocks);
}

// Pool 1: volumes 40 and 41 on RAID6 group 1, and volume 42 whose group has
// no entry; pool 10: volume 43 on RAID5 group 0. A normal volume 3.
void table(CMTBuilder& b)
{
    b.maxCounts({.olu = 64, .slu = 8, .rlu = 4, .dlu = 2, .mlu = 2});
    b.rlu(0).Status(0x2000).RaidLevel(1);
    b.rlu(1).Status(0x2000).RaidLevel(3);
    b.olu(40).Status(0).SluCount(1).Slun(0, 0);
    poolVolume(b, 0, 40, 1, 1, 2048);
    b.olu(41).Status(3).SluCount(1).Slun(0, 1);
    poolVolume(b, 1, 41, 1, 1, 1024);
    b.olu(42).Status(0).SluCount(1).Slun(0, 2);
    poolVolume(b, 2, 42, 3, 1, 512);
    b.olu(43).Status(0).SluCount(1).Slun(0, 3);
    poolVolume(b, 3, 43, 0, 10, 4096);
    b.olu(3).Status(0).SluCount(1).Slun(0, 4);
    b.slu(4).Status(0).LuType(1).Rlun(0).Olun(3).SDPID(1).SlbaCount(100);
}

struct Pool {
    std::uint8_t number;
    std::uint64_t first;
    std::uint64_t second;
};

class SnapshotExtents : public smis::test::ProviderTestBed {
protected:
    void SetUp() override
    {
        ProviderTestBed::SetUp();
        install({{A, table}});
    }

    // Stores the snap data pool records of the status table: the two counts
    // as the first two words of bytes 32-55 and of bytes 8-31.
    void pools(const std::vector<Pool>& list)
    {
        std::vector<std::uint8_t> bytes(64 * list.size(), 0);
        for (std::size_t i = 0; i < list.size(); ++i) {
            std::uint8_t* r = &bytes[64 * i];
            r[0] = list[i].number;
            smis::storeLE32(r + 32, static_cast<std::uint32_t>(list[i].first));
            smis::storeLE32(r + 36, static_cast<std::uint32_t>(list[i].first >> 32));
            smis::storeLE32(r + 8, static_cast<std::uint32_t>(list[i].second));
            smis::storeLE32(r + 12, static_cast<std::uint32_t>(list[i].second >> 32));
        }
        cimple::SMIS_CMTAccess* cache = cimple::SMIS_CMTAccess::getInstance();
        ASSERT_NE(cache, nullptr);
        ASSERT_EQ(cache->SetExTableInfo(A, cimple::SMIS_CMTAccess::EX_SNAP_DATA_POOL, nullptr, bytes.data(), 64,
                                        static_cast<unsigned>(list.size()), 0),
                  0);
    }
};

TEST_F(SnapshotExtents, PoolVolumes)
{
    auto ad = adapter("VELDARO_SDPVExtent");
    Instance_List list;
    ASSERT_EQ(ad->enum_instances(list), 0);
    EXPECT_EQ(deviceIds<VELDARO_SDPVExtent>(list),
              (std::vector<std::string>{"10.0.0.1/SDP00040", "10.0.0.1/SDP00041", "10.0.0.1/SDP00043"}));
    for (const Instance_Ptr& p : list) {
        const auto* c = static_cast<const VELDARO_SDPVExtent*>(p.get());
        EXPECT_EQ(getStatus<VELDARO_SDPVExtent>(*ad, A, c->DeviceID.value.c_str()), 0) << c->DeviceID.value.c_str();
    }

    const auto* v = findDevice<VELDARO_SDPVExtent>(list, A, "SDP00040");
    ASSERT_NE(v, nullptr);
    EXPECT_STREQ(v->Caption.value.c_str(), "Snap Data Pool Volume");
    EXPECT_STREQ(v->ElementName.value.c_str(), "SDPV00040(SDP01)");
    EXPECT_STREQ(v->Purpose.value.c_str(), "00040+0x04");
    EXPECT_EQ(v->OperationalStatus.value[0], 2);
    EXPECT_EQ(v->NumberOfBlocks.value, 2048u);
    EXPECT_EQ(v->ConsumableBlocks.value, 2048u);
    EXPECT_TRUE(v->IsBasedOnUnderlyingRedundancy.value);
    EXPECT_TRUE(v->NoSinglePointOfFailure.value);
    EXPECT_EQ(v->DataRedundancy.value, 1);
    EXPECT_EQ(v->PackageRedundancy.value, 2);
    EXPECT_EQ(v->DeltaReservation.value, 100);
    EXPECT_EQ(v->RLUN.value, 1u);
    EXPECT_EQ(v->OLUN.value, 40u);
    EXPECT_EQ(v->SDPID.value, 1u);
    EXPECT_EQ(v->Usage.value, 4);
    const auto* degraded = findDevice<VELDARO_SDPVExtent>(list, A, "SDP00041");
    ASSERT_NE(degraded, nullptr);
    EXPECT_EQ(degraded->OperationalStatus.value[0], 3) << "the volume entry's status";

    for (const char* key : {"SDP40", "SDP00042", "SDP00003", "VOL00040", ""})
        EXPECT_EQ(getStatus<VELDARO_SDPVExtent>(*ad, A, key), 60) << key;
}

TEST_F(SnapshotExtents, PoolsAsComposites)
{
    auto ad = adapter("VELDARO_SnapDataCompositeExtent");
    Instance_List none;
    ASSERT_EQ(ad->enum_instances(none), 0);
    EXPECT_TRUE(none.empty()) << "no pool records";

    pools({{1, 0x100000000ull, 5}, {10, 7, 0}, {2, 0xFFFFFFFFFFFFFFFFull, 1}});
    Instance_List list;
    ASSERT_EQ(ad->enum_instances(list), 0);
    EXPECT_EQ(deviceIds<VELDARO_SnapDataCompositeExtent>(list),
              (std::vector<std::string>{"10.0.0.1/SDCE01", "10.0.0.1/SDCE10", "10.0.0.1/SDCE02"}));
    const auto* p1 = findDevice<VELDARO_SnapDataCompositeExtent>(list, A, "SDCE01");
    ASSERT_NE(p1, nullptr);
    EXPECT_STREQ(p1->Caption.value.c_str(), "Snap Data Composite Extent");
    EXPECT_STREQ(p1->ElementName.value.c_str(), "SDCE01");
    EXPECT_STREQ(p1->Name.value.c_str(), "VELDARO +Snap Data Pool  +01");
    EXPECT_EQ(p1->NumberOfBlocks.value, 0x100000005ull);
    EXPECT_EQ(p1->ConsumableBlocks.value, 0x100000005ull);
    EXPECT_EQ(p1->ExtentStripeLength.value, 3u) << "every type 7 volume of the pool, whatever its state";
    EXPECT_EQ(p1->OperationalStatus.value[0], 2);
    EXPECT_STREQ(p1->Status.value.c_str(), "OK");
    EXPECT_EQ(p1->HealthState.value, 5);
    EXPECT_EQ(p1->ExtentStatus.value[0], 0);
    EXPECT_EQ(p1->SDPID.value, 1u);
    EXPECT_EQ(p1->DataRedundancy.value, 1);
    EXPECT_FALSE(p1->IsConcatenated.value);
    const auto* p10 = findDevice<VELDARO_SnapDataCompositeExtent>(list, A, "SDCE10");
    ASSERT_NE(p10, nullptr);
    EXPECT_STREQ(p10->Name.value.c_str(), "VELDARO +Snap Data Pool  +0A");
    EXPECT_EQ(p10->ExtentStripeLength.value, 1u);
    const auto* p2 = findDevice<VELDARO_SnapDataCompositeExtent>(list, A, "SDCE02");
    ASSERT_NE(p2, nullptr);
    EXPECT_EQ(p2->ExtentStripeLength.value, 0u);
    EXPECT_EQ(p2->NumberOfBlocks.value, 0xFFFFFFFFFFFFFFFFull) << "a sum beyond 64 bits stays at the largest value";

    EXPECT_EQ(getStatus<VELDARO_SnapDataCompositeExtent>(*ad, A, "SDCE10"), 0);
    EXPECT_EQ(getStatus<VELDARO_SnapDataCompositeExtent>(*ad, A, "SDCE03"), 60);
    EXPECT_EQ(getStatus<VELDARO_SnapDataCompositeExtent>(*ad, "10.0.0.2", "SDCE01"), 60);
}

}  // namespace
