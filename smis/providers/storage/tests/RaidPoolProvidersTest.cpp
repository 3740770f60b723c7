// RAID storage pools: instances, the size methods and the available extents.

#include <gtest/gtest.h>

#include "CIM_StoragePool.h"
#include "LogCapture.h"
#include "PoolFixture.h"
#include "VELDARO_FreeExtent.h"
#include "VELDARO_RAIDStoragePool.h"

using namespace pool_test;

namespace {

TEST_F(PoolProviders, RaidPools)
{
    install({A, B});
    auto ad = adapter("VELDARO_RAIDStoragePool");
    Instance_List list;
    ASSERT_EQ(ad->enum_instances(list), 0);
    using P = cimple::VELDARO_RAIDStoragePool;
    EXPECT_EQ(ids<P>(list), (std::vector<std::string>{"VELDARO:RSP0001_10.0.0.1", "VELDARO:RSP0002_10.0.0.1",
                                                      "VELDARO:RSP0003_10.0.0.1", "VELDARO:RSP0004_10.0.0.1",
                                                      "VELDARO:RSP0005_10.0.0.1", "VELDARO:RSP0000_10.0.0.2"}));
    const P* p = find<P>(list, "VELDARO:RSP0001_10.0.0.1");
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p->Caption.value.c_str(), "RAID Storage Pool");
    EXPECT_STREQ(p->ElementName.value.c_str(), padded("RG1").c_str());
    EXPECT_STREQ(p->Name.value.c_str(), "RAID Group0001(RAID5)");
    EXPECT_STREQ(p->PoolID.value.c_str(), "RAID Group0001(RAID5)");
    EXPECT_STREQ(p->RaidLevel.value.c_str(), "RAID5");
    ASSERT_EQ(p->OperationalStatus.value.size(), 1u);
    EXPECT_EQ(p->OperationalStatus.value[0], 2);
    EXPECT_STREQ(p->Status.value.c_str(), "OK");
    EXPECT_FALSE(p->Primordial.value);
    EXPECT_EQ(p->TotalManagedSpace.value, 10000u * 512);
    EXPECT_EQ(p->RemainingManagedSpace.value, 9900u * 512);
    EXPECT_EQ(p->Usage.value, 2);
    EXPECT_EQ(p->RLUN.value, 1u);
    EXPECT_EQ(p->RaidNumber.value, 1u);
    EXPECT_STREQ(p->Owner.value.c_str(), "1");
    EXPECT_EQ(p->InstallDate.null, 0) << "every property is present";

    struct Case {
        const char* id;
        std::uint64_t total, remaining;
        std::uint16_t usage;
    } cases[] = {
        {"VELDARO:RSP0002_10.0.0.1", 0, 0, 7},  // pool member: no space of its own
        {"VELDARO:RSP0003_10.0.0.1", 0, 0, 3},
        {"VELDARO:RSP0004_10.0.0.1", 256 * 512, 0, 2},  // volumes cover more than the group
        {"VELDARO:RSP0005_10.0.0.1", 1000 * 512, 1000 * 512, 3},
    };
    for (const Case& c : cases) {
        const P* q = find<P>(list, c.id);
        ASSERT_NE(q, nullptr) << c.id;
        EXPECT_EQ(q->TotalManagedSpace.value, c.total) << c.id;
        EXPECT_EQ(q->RemainingManagedSpace.value, c.remaining) << c.id;
        EXPECT_EQ(q->Usage.value, c.usage) << c.id;
    }
    expectGetFindsEach<P>(*ad, list);
    for (const char* key : {"VELDARO:RSP0000_10.0.0.1",  // free entry
                            "VELDARO:RSP0001_10.0.0.2", "VELDARO:RSP0001", "VELDARO:RSP0001_10.0.0.77",
                            "VELDARO:TPP0001_10.0.0.1", "VELDARO:RSP_10.0.0.1", ""})
        EXPECT_EQ(get<P>(*ad, key), 60) << key;
}

TEST_F(PoolProviders, RaidPoolSizeMethods)
{
    install({A, B});
    auto ad = adapter("VELDARO_RAIDStoragePool");
    Instance_Ptr self = model<cimple::VELDARO_RAIDStoragePool>("VELDARO:RSP0001_10.0.0.1");
    struct Case {
        int elementType;  // -1: not given
        std::uint32_t result;
    } cases[] = {{3, 2}, {2, 1}, {4, 1}, {9, 1}, {-1, 1}};
    for (const Case& c : cases) {
        smis::test::LogCapture logs;
        Instance_Ptr m(cimple::CIM_StoragePool_GetSupportedSizes_method::create());
        cimple::nullify_properties(m.get()); // as a request hands it over
        auto* call = static_cast<cimple::CIM_StoragePool_GetSupportedSizes_method*>(m.get());
        if (c.elementType >= 0)
            call->ElementType.set(static_cast<cimple::uint16>(c.elementType));
        ASSERT_EQ(ad->invoke_method(self.get(), m.get()), 0) << c.elementType;
        ASSERT_FALSE(call->return_value.null);
        EXPECT_EQ(call->return_value.value, c.result) << c.elementType;
        EXPECT_TRUE(call->Sizes.null) << "sizes are never listed";
        EXPECT_EQ(logs.hasLog("Invalid ElementType"), c.elementType == 9 || c.elementType < 0) << c.elementType;
    }
}

TEST_F(PoolProviders, RaidPoolAvailableExtents)
{
    install({A, B});
    auto ad = adapter("VELDARO_RAIDStoragePool");
    using M = cimple::CIM_StoragePool_GetAvailableExtents_method;
    struct Case {
        const char* pool;
        std::uint32_t result;
        std::size_t extents;
    } cases[] = {
        {"VELDARO:RSP0001_10.0.0.1", 0, 1},
        {"VELDARO:RSP0004_10.0.0.1", 6, 0},  // no free block left
        {"VELDARO:RSP0000_10.0.0.1", 1, 0},  // free entry: no pool
        {"VELDARO:RSP0001", 0x8030, 0},
        {"VELDARO:RSP0001_10.0.0.77", 0x8030, 0},
        {"VELDARO:RSP0001_10.0.0.9", 0x8030, 0},  // not configured here
    };
    for (const Case& c : cases) {
        Instance_Ptr self = model<cimple::VELDARO_RAIDStoragePool>(c.pool);
        Instance_Ptr m(M::create());
        auto* call = static_cast<M*>(m.get());
        ASSERT_EQ(ad->invoke_method(self.get(), m.get()), 0) << c.pool;
        ASSERT_FALSE(call->return_value.null) << c.pool;
        EXPECT_EQ(call->return_value.value, c.result) << c.pool;
        ASSERT_EQ(call->AvailableExtents.size(), c.extents) << c.pool;
        if (c.extents) {
            const auto* f = static_cast<const cimple::VELDARO_FreeExtent*>(
                static_cast<const Instance*>(call->AvailableExtents[0]));
            EXPECT_STREQ(f->DeviceID.value.c_str(), "FE0001_F000");
            EXPECT_EQ(f->NumberOfBlocks.value, 9872u);
        }
    }
}

}  // namespace
