// Thin-provisioning pools: capacity from the status records, alarms, the size
// methods and the pool's free extent.

#include <gtest/gtest.h>

#include "CIM_StoragePool.h"
#include "PoolFixture.h"
#include "VELDARO_ThinProvisioningFreeExtent.h"
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
        cimple::nullify_properties(m.get()); // as a request hands it over
        auto* call = static_cast<cimple::CIM_StoragePool_GetSupportedSizes_method*>(m.get());
        call->ElementType.set(static_cast<cimple::uint16>(type));
        ASSERT_EQ(ad->invoke_method(self.get(), m.get()), 0);
        EXPECT_EQ(call->return_value.value, result) << type;
        EXPECT_TRUE(call->Sizes.null);
    }
}

TEST_F(PoolProviders, ThinPoolAvailableExtents)
{
    install({A});
    auto ad = adapter("VELDARO_ThinProvisioningPool");
    using M = cimple::CIM_StoragePool_GetAvailableExtents_method;
    struct Case {
        const char* pool;
        std::uint32_t result;
    } cases[] = {
        {"VELDARO:TPP0001_10.0.0.1", 0},
        {"VELDARO:TPP0002_10.0.0.1", 6},    // no usage record: nothing known to be free
        {"VELDARO:TPP0300_10.0.0.1", 4},    // no such pool
        {"VELDARO:XTPP0001_10.0.0.1", 4},   // not a pool key
        {"VELDARO:TPP0001", 0x8030},        // no storage address
        {"VELDARO:TPP0001_10.0.0.2", 0x8030},  // not configured
    };
    for (const Case& c : cases) {
        Instance_Ptr self = model<cimple::VELDARO_ThinProvisioningPool>(c.pool);
        Instance_Ptr m(M::create());
        auto* call = static_cast<M*>(m.get());
        ASSERT_EQ(ad->invoke_method(self.get(), m.get()), 0) << c.pool;
        ASSERT_FALSE(call->return_value.null) << c.pool;
        EXPECT_EQ(call->return_value.value, c.result) << c.pool;
        ASSERT_EQ(call->AvailableExtents.size(), c.result == 0 ? 1u : 0u) << c.pool;
        if (c.result == 0) {
            const auto* f = static_cast<const cimple::VELDARO_ThinProvisioningFreeExtent*>(
                static_cast<const Instance*>(call->AvailableExtents[0]));
            EXPECT_STREQ(f->DeviceID.value.c_str(), "TPFE0001_F000");
            EXPECT_EQ(f->NumberOfBlocks.value, 15 * MiB / 512);
        }
    }
}

}  // namespace
