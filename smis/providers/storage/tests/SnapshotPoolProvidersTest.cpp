// Snapshot data pool volumes and snapshot data pools.

#include <gtest/gtest.h>

#include "PoolFixture.h"
#include "VELDARO_SDPVPool.h"
#include "VELDARO_SnapDataPool.h"

using namespace pool_test;

namespace {

TEST_F(PoolProviders, SnapshotDataPoolVolumes)
{
    install({A, B});
    auto ad = adapter("VELDARO_SDPVPool");
    Instance_List list;
    ASSERT_EQ(ad->enum_instances(list), 0);
    using P = cimple::VELDARO_SDPVPool;
    // SLU 11 names a volume that does not exist; SLU 12 is free.
    ASSERT_EQ(ids<P>(list), (std::vector<std::string>{"VELDARO:SDPVP00010_10.0.0.1"}));
    const P* p = find<P>(list, "VELDARO:SDPVP00010_10.0.0.1");
    EXPECT_STREQ(p->Caption.value.c_str(), "SDPV Pool");
    EXPECT_STREQ(p->ElementName.value.c_str(), padded("SDPV10").c_str());
    EXPECT_STREQ(p->Name.value.c_str(), "SDPV00010(SDP01)");
    EXPECT_STREQ(p->PoolID.value.c_str(), "SDPV00010(SDP01)");
    EXPECT_EQ(p->TotalManagedSpace.value, 2048u * 512);
    EXPECT_EQ(p->RemainingManagedSpace.value, 0u);
    EXPECT_EQ(p->RLUN.value, 1u);
    EXPECT_EQ(p->SDPID.value, 1u);
    EXPECT_FALSE(p->Primordial.value);
    expectGetFindsEach<P>(*ad, list);
    for (const char* key : {"VELDARO:SDPVP00012_10.0.0.1", "VELDARO:SDPVP00005_10.0.0.1", "VELDARO:SDPVP00010"})
        EXPECT_EQ(get<P>(*ad, key), 60) << key;
}

TEST_F(PoolProviders, SnapshotDataPools)
{
    install({A, B});
    auto ad = adapter("VELDARO_SnapDataPool");
    Instance_List list;
    ASSERT_EQ(ad->enum_instances(list), 0);
    using P = cimple::VELDARO_SnapDataPool;
    // Array B reports no pools: nothing, and no error.
    ASSERT_EQ(ids<P>(list), (std::vector<std::string>{"VELDARO:SDP01_10.0.0.1", "VELDARO:SDP02_10.0.0.1"}));
    const P* p = find<P>(list, "VELDARO:SDP01_10.0.0.1");
    EXPECT_STREQ(p->Caption.value.c_str(), "Snap Data Pool");
    EXPECT_STREQ(p->ElementName.value.c_str(), "SDP01");
    EXPECT_STREQ(p->Name.value.c_str(), "SDP01");
    EXPECT_STREQ(p->PoolID.value.c_str(), "SDP01");
    EXPECT_EQ(p->OperationalStatus.value[0], 2);
    EXPECT_STREQ(p->Status.value.c_str(), "OK");
    EXPECT_EQ(p->TotalManagedSpace.value, 2000u * 512);
    EXPECT_EQ(p->RemainingManagedSpace.value, 100u * 512);
    EXPECT_EQ(p->SDPID.value, 1u);
    EXPECT_EQ(p->AttentionLevelRange.value, 50);
    EXPECT_EQ(p->WarningLevelRange.value, 70);
    EXPECT_EQ(p->SevereLevelRange.value, 90);
    EXPECT_STREQ(p->AlarmStatus.value.c_str(), "Severe") << "95 % used";
    const P* empty = find<P>(list, "VELDARO:SDP02_10.0.0.1");
    EXPECT_EQ(empty->TotalManagedSpace.value, 0u);
    EXPECT_STREQ(empty->AlarmStatus.value.c_str(), "") << "pool 2 has no thresholds";

    Instance_Ptr got;
    Instance_Ptr m = model<P>("VELDARO:SDP01_10.0.0.1");
    ASSERT_EQ(ad->get_instance(m.get(), got), 0);
    EXPECT_EQ(static_cast<const P*>(got.get())->RemainingManagedSpace.value, 100u * 512);
    EXPECT_EQ(get<P>(*ad, "VELDARO:SDP03_10.0.0.1"), 60);
    EXPECT_EQ(get<P>(*ad, "VELDARO:SDP01_10.0.0.2"), 60);
}

}  // namespace
