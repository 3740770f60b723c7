// Tiering pools and their sub-pools.

#include <gtest/gtest.h>

#include "PoolFixture.h"
#include "VELDARO_LayerixPool.h"
#include "VELDARO_LayerixSubPool.h"

using namespace pool_test;

namespace {

TEST_F(PoolProviders, TieringPoolsAndSubPools)
{
    install({A, B});
    auto ad = adapter("VELDARO_LayerixPool");
    Instance_List list;
    ASSERT_EQ(ad->enum_instances(list), 0);
    using P = cimple::VELDARO_LayerixPool;
    EXPECT_EQ(ids<P>(list), (std::vector<std::string>{"VELDARO:LXP0000_10.0.0.1", "VELDARO:LXP0001_10.0.0.1"}));
    const P* p = find<P>(list, "VELDARO:LXP0000_10.0.0.1");
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p->Caption.value.c_str(), "Layerix Pool");
    EXPECT_STREQ(p->ElementName.value.c_str(), padded("TIER0").c_str());
    EXPECT_STREQ(p->Name.value.c_str(), "Layerix Pool0000");
    EXPECT_STREQ(p->PoolID.value.c_str(), "LXP0000");
    EXPECT_EQ(p->TotalManagedSpace.value, 10 * MiB);
    EXPECT_EQ(p->RemainingManagedSpace.value, 6 * MiB);
    EXPECT_EQ(p->Usage.value, 3);
    EXPECT_EQ(p->SpaceLimit.value, 140737488355328u);
    EXPECT_STREQ(p->AlarmStatus.value.c_str(), "Normal") << "40 % used, attention at 50";
    EXPECT_EQ(p->AttentionLevelRange.value, 50);
    EXPECT_EQ(p->WarningLevelRange.value, 0);
    const P* unknown = find<P>(list, "VELDARO:LXP0001_10.0.0.1");
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(unknown->TotalManagedSpace.value, 0u) << "a sub-pool without a record: size unknown";
    EXPECT_EQ(unknown->RemainingManagedSpace.value, 0u);
    EXPECT_STREQ(unknown->AlarmStatus.value.c_str(), "Normal");
    expectGetFindsEach<P>(*ad, list);
    for (const char* key : {"VELDARO:LXP0002_10.0.0.1", "VELDARO:LXP0003", "VELDARO:LXP0000_10.0.0.2"})
        EXPECT_EQ(get<P>(*ad, key), 60) << key;

    auto sub = adapter("VELDARO_LayerixSubPool");
    Instance_List subs;
    ASSERT_EQ(sub->enum_instances(subs), 0);
    using S = cimple::VELDARO_LayerixSubPool;
    EXPECT_EQ(ids<S>(subs), (std::vector<std::string>{"VELDARO:LXSP0004_10.0.0.1", "VELDARO:LXSP0005_10.0.0.1",
                                                      "VELDARO:LXSP0007_10.0.0.1"}));
    const S* s = find<S>(subs, "VELDARO:LXSP0004_10.0.0.1");
    ASSERT_NE(s, nullptr);
    EXPECT_STREQ(s->Caption.value.c_str(), "Layerix Sub Pool");
    EXPECT_STREQ(s->ElementName.value.c_str(), padded("SUB4").c_str());
    EXPECT_STREQ(s->Name.value.c_str(), "Layerix Sub Pool0004(RAID5)");
    EXPECT_STREQ(s->PoolID.value.c_str(), "LXSP0004(RAID5)");
    EXPECT_STREQ(s->RaidLevel.value.c_str(), "RAID5");
    EXPECT_EQ(s->TotalManagedSpace.value, 8192u * 512);
    EXPECT_EQ(s->RemainingManagedSpace.value, 0u);
    EXPECT_EQ(s->SpaceLimit.value, 0u);
    expectGetFindsEach<S>(*sub, subs);
    EXPECT_EQ(get<S>(*sub, "VELDARO:LXSP0001_10.0.0.1"), 60) << "an ordinary thin pool";
}

TEST_F(PoolProviders, TieringPoolWithoutStatusRecordsHasNoSize)
{
    install({A}, /*statusRecords=*/false);
    auto ad = adapter("VELDARO_LayerixPool");
    Instance_List list;
    ASSERT_EQ(ad->enum_instances(list), 0);
    ASSERT_EQ(list.size(), 2u);
    for (const Instance_Ptr& i : list) {
        const auto* p = static_cast<const cimple::VELDARO_LayerixPool*>(i.get());
        EXPECT_EQ(p->TotalManagedSpace.value, 0u);
        EXPECT_EQ(p->RemainingManagedSpace.value, 0u);
    }
}

}  // namespace
