// Thin-provisioning pools: capacity from the status records, alarms and the size methods.

#include <gtest/gtest.h>

#include "CIM_StoragePool.h"
#include "PoolFixture.h"
#include "VELDARO_ThinProvisioningPool.h"

using namespace pool_test;

namespace {

TEST_F(PoolProviders, ThinPools)
{
    install({A, B});
    auto ad = adapter("VELDARO_ThinProvisioningPool");
    Instance_List list;
    ASSERT_EQ(ad->enum_instances(list), 0);
    using P = cimple::VELDARO_ThinProvisioningPool;
    // Pool 3 has no member disks; 4, 5 and 7 are tiering sub-pools.
    EXPECT_EQ(ids<P>(list), (std::vector<std::string>{"VELDARO:TPP0001_10.0.0.1", "VELDARO:TPP0002_10.0.0.1"}));
    const P* p = find<P>(list, "VELDARO:TPP0001_10.0.0.1");
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p->Caption.value.c_str(), "Thin Provisioning Pool");
    EXPECT_STREQ(p->ElementName.value.c_str(), padded("TP1").c_str());
    EXPECT_STREQ(p->Name.value.c_str(), "TPP0001(RAID5)");
    EXPECT_STREQ(p->PoolID.value.c_str(), "TPP0001(RAID5)");
    EXPECT_STREQ(p->RaidLevel.value.c_str(), "RAID5");
    EXPECT_EQ(p->TotalManagedSpace.value, 100 * MiB) << "the first record of the pool";
    EXPECT_EQ(p->RemainingManagedSpace.value, 15 * MiB);
    EXPECT_EQ(p->Usage.value, 2);
    EXPECT_EQ(p->SpaceLimit.value, 140737488355328u);
    EXPECT_EQ(p->SpaceLimitDetermination.value, 3);
    EXPECT_STREQ(p->AlarmStatus.value.c_str(), "Warning");
    EXPECT_EQ(p->AttentionLevelRange.value, 70);
    EXPECT_EQ(p->WarningLevelRange.value, 80);

    const P* q = find<P>(list, "VELDARO:TPP0002_10.0.0.1");
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(q->TotalManagedSpace.value, 4096u * 512) << "no record: the table's maximum size";
    EXPECT_EQ(q->RemainingManagedSpace.value, 0u);
    EXPECT_STREQ(q->AlarmStatus.value.c_str(), "") << "no threshold set";

    expectGetFindsEach<P>(*ad, list);
    for (const char* key : {"VELDARO:TPP0003_10.0.0.1", "VELDARO:TPP0004_10.0.0.1", "VELDARO:TPP0001_10.0.0.2",
                            "VELDARO:TPP0001"})
        EXPECT_EQ(get<P>(*ad, key), 60) << key;
}

TEST_F(PoolProviders, ThinPoolSizeMethods)
{
    install({A});
    auto ad = adapter("VELDARO_ThinProvisioningPool");
    Instance_Ptr self = model<cimple::VELDARO_ThinProvisioningPool>("VELDARO:TPP0001_10.0.0.1");
    for (auto [type, result] : {std::pair{5, 2u}, std::pair{2, 3u}, std::pair{3, 3u}}) {
        Instance_Ptr m(cimple::CIM_StoragePool_GetSupportedSizes_method::create());
        auto* call = static_cast<cimple::CIM_StoragePool_GetSupportedSizes_method*>(m.get());
        call->ElementType.set(static_cast<cimple::uint16>(type));
        ASSERT_EQ(ad->invoke_method(self.get(), m.get()), 0);
        EXPECT_EQ(call->return_value.value, result) << type;
        EXPECT_TRUE(call->Sizes.null);
    }
}

}  // namespace
