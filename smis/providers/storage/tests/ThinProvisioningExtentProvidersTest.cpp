// Thin provisioning extents (each pool's whole capacity) and free extents
// (its unused capacity from the pool usage records) through the framework
// adapter.

#include <gtest/gtest.h>

#include <vector>

#include "ByteOrder.h"
#include "ProviderTestBed.h"
#include "SMIS_CMTAccess.h"
#include "VELDARO_ThinProvisioningExtent.h"
#include "VELDARO_ThinProvisioningFreeExtent.h"
#include "VELDARO_ValueConv.h"

using cimple::Instance_List;
using cimple::VELDARO_ThinProvisioningExtent;
using cimple::VELDARO_ThinProvisioningFreeExtent;
using smis::test::CMTBuilder;

namespace {

constexpr const char* A = "10.0.0.1";

struct Usage {
    std::uint16_t pool;
    std::uint32_t totalMiB;
    std::uint32_t usedMiB;
};

// Pool 5: RAID5 over 4 disks with a member RAID group; pool 7: RAID1+0 over
// 8 disks; pool 9: no member disks (free entry); pool 11: part of a tiering
// pool.
void table(CMTBuilder& b)
{
    b.maxCounts({.olu = 2, .slu = 2, .rlu = 4, .dlu = 2, .mlu = 2});
    b.tpp(5).RaidLevel(1).MemDiskCnt(4).MaxPoolLbaCount(1 << 20).LxrpNumber(255);
    b.rlu(1).Status(0x2000).RaidLevel(1).Mode(0x01).PoolNumber(5).SluCount(1).Slun(0, 0);
    b.slu(0).Status(0).LuType(8).Rlun(1).SlbaCount(1 << 20);
    b.tpp(7).RaidLevel(12).MemDiskCnt(8).MaxPoolLbaCount(4096).LxrpNumber(255);
    b.rlu(2).Status(0x2000).RaidLevel(12).Mode(0x01).PoolNumber(7).SluCount(1).Slun(0, 1);
    b.slu(1).Status(0).LuType(8).Rlun(2).SlbaCount(4096);
    b.tpp(9).RaidLevel(1).MemDiskCnt(0).MaxPoolLbaCount(4096).LxrpNumber(255);
    b.tpp(11).RaidLevel(1).MemDiskCnt(4).MaxPoolLbaCount(4096).LxrpNumber(2);
}

class ThinProvisioningExtents : public smis::test::ProviderTestBed {
protected:
    void SetUp() override
    {
        ProviderTestBed::SetUp();
        install({{A, table}});
    }

    // Stores the pool usage records of the array's status table.
    void usage(const std::vector<Usage>& records)
    {
        std::vector<std::uint8_t> bytes(32 * records.size(), 0);
        for (std::size_t i = 0; i < records.size(); ++i) {
            smis::storeLE16(&bytes[32 * i], records[i].pool);
            smis::storeLE32(&bytes[32 * i + 4], records[i].totalMiB);
            smis::storeLE32(&bytes[32 * i + 8], records[i].usedMiB);
        }
        cimple::SMIS_CMTAccess* cache = cimple::SMIS_CMTAccess::getInstance();
        ASSERT_NE(cache, nullptr);
        ASSERT_EQ(cache->SetExTableInfo(A, cimple::SMIS_CMTAccess::EX_THIN_POOL_ALARM, nullptr, bytes.data(), 32,
                                        static_cast<unsigned>(records.size()), 0),
                  0);
    }
};

TEST_F(ThinProvisioningExtents, WholePools)
{
    auto ad = adapter("VELDARO_ThinProvisioningExtent");
    Instance_List list;
    ASSERT_EQ(ad->enum_instances(list), 0);
    EXPECT_EQ(deviceIds<VELDARO_ThinProvisioningExtent>(list),
              (std::vector<std::string>{"10.0.0.1/TPP0005", "10.0.0.1/TPP0007"}));
    expectEachFoundByGet<VELDARO_ThinProvisioningExtent>(*ad, list);

    const auto* t = findDevice<VELDARO_ThinProvisioningExtent>(list, A, "TPP0005");
    ASSERT_NE(t, nullptr);
    EXPECT_STREQ(t->Caption.value.c_str(), "Thin Provisioning Extent");
    EXPECT_STREQ(t->ElementName.value.c_str(), "TPP0005(RAID5)");
    EXPECT_STREQ(t->Name.value.c_str(), "VELDARO +TPP             +0005");
    EXPECT_EQ(t->OperationalStatus.value[0], 2);
    EXPECT_EQ(t->ExtentStatus.value[0], 0);
    EXPECT_EQ(t->NumberOfBlocks.value, 1u << 20);
    EXPECT_EQ(t->ConsumableBlocks.value, 1u << 20);
    EXPECT_TRUE(t->NoSinglePointOfFailure.value);
    EXPECT_TRUE(t->IsBasedOnUnderlyingRedundancy.value);
    EXPECT_FALSE(t->IsConcatenated.value);
    EXPECT_FALSE(t->Primordial.value);
    EXPECT_EQ(t->ExtentStripeLength.value,
              static_cast<std::uint64_t>(static_cast<std::int64_t>(
                  cimple::VELDARO_ValueConv::convRaidLevel_TPPToStripeLength(1, 4))));
    EXPECT_STREQ(findDevice<VELDARO_ThinProvisioningExtent>(list, A, "TPP0007")->ElementName.value.c_str(),
                 "TPP0007(RAID1+0)");

    for (const char* key : {"TPP5", "TPP0009", "TPP0011", "TPP0003", "TPFE0005_F000", ""})
        EXPECT_EQ(getStatus<VELDARO_ThinProvisioningExtent>(*ad, A, key), 60) << key;
}

TEST_F(ThinProvisioningExtents, FreeCapacityFromUsageRecords)
{
    // Pool 7 has used all of its capacity, pool 11 (tiering) and pool 9
    // (free entry) have records but no extent.
    usage({{5, 100, 40}, {7, 100, 100}, {9, 100, 0}, {11, 100, 0}, {5, 100, 0}});
    auto ad = adapter("VELDARO_ThinProvisioningFreeExtent");
    Instance_List list;
    ASSERT_EQ(ad->enum_instances(list), 0);
    ASSERT_EQ(deviceIds<VELDARO_ThinProvisioningFreeExtent>(list),
              (std::vector<std::string>{"10.0.0.1/TPFE0005_F000"}));
    expectEachFoundByGet<VELDARO_ThinProvisioningFreeExtent>(*ad, list);

    const auto* f = static_cast<const VELDARO_ThinProvisioningFreeExtent*>(list[0].get());
    EXPECT_STREQ(f->Caption.value.c_str(), "Thin Provisioning Pool Free Extent");
    EXPECT_STREQ(f->ElementName.value.c_str(), "TPP0005(RAID5)");
    EXPECT_STREQ(f->Name.value.c_str(), "VELDARO +TPP             +0005");
    EXPECT_EQ(f->NumberOfBlocks.value, 122880u) << "the first record of the pool counts";
    EXPECT_EQ(f->ConsumableBlocks.value, 122880u);
    EXPECT_EQ(f->StartingAddress.value, 0u);
    EXPECT_EQ(f->OperationalStatus.value[0], 2);

    for (const char* key : {"TPFE0005_F001", "TPFE5_F0", "TPFE0007_F000", "TPFE0011_F000", "TPFE0005", ""})
        EXPECT_EQ(getStatus<VELDARO_ThinProvisioningFreeExtent>(*ad, A, key), 60) << key;
}

TEST_F(ThinProvisioningExtents, MoreUsedThanTotalOrNoRecordsGivesNoFreeExtent)
{
    auto ad = adapter("VELDARO_ThinProvisioningFreeExtent");
    Instance_List none;
    ASSERT_EQ(ad->enum_instances(none), 0) << "no usage records";
    EXPECT_TRUE(none.empty());

    usage({{5, 100, 4000000000u}, {7, 0xFFFFFFFFu, 0}});
    Instance_List list;
    ASSERT_EQ(ad->enum_instances(list), 0);
    ASSERT_EQ(deviceIds<VELDARO_ThinProvisioningFreeExtent>(list),
              (std::vector<std::string>{"10.0.0.1/TPFE0007_F000"}));
    EXPECT_EQ(static_cast<const VELDARO_ThinProvisioningFreeExtent*>(list[0].get())->NumberOfBlocks.value,
              std::uint64_t{0xFFFFFFFFu} * 2048) << "computed in 64 bits";
}

}  // namespace
