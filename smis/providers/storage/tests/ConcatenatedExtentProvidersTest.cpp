// Concatenated extents (volumes of several sub-volumes as a whole) and their
// parts (each sub-volume) through the framework adapter.

#include <gtest/gtest.h>

#include "ProviderTestBed.h"
#include "VELDARO_ConcatenatedExtent.h"
#include "VELDARO_PartOfConcatenatedExtent.h"

using cimple::Instance_List;
using cimple::VELDARO_ConcatenatedExtent;
using cimple::VELDARO_PartOfConcatenatedExtent;
using smis::test::CMTBuilder;

namespace {

constexpr const char* A = "10.0.0.1";

void slice(CMTBuilder& b, std::uint16_t slun, std::uint16_t olun, std::uint64_t blocks, std::uint16_t status = 0,
           std::uint8_t luType = 1)
{
    b.slu(slun).Status(status).LuType(luType).Rlun(0).Olun(olun).SlbaCount(blocks);
}

void table(CMTBuilder& b)
{
    b.maxCounts({.olu = 300, .slu = 32, .rlu = 2, .dlu = 2, .mlu = 2});
    b.rlu(0).Status(0x2000).RaidLevel(1);
    // Volume 12 of three sub-volumes; its own status differs from its parts'.
    b.olu(12).Status(1).SluCount(3).Slun(0, 7).Slun(1, 8).Slun(2, 9).OlbaCount(3000);
    slice(b, 7, 12, 1000);
    slice(b, 8, 12, 1200, 3);
    slice(b, 9, 12, 800, 0, 9);
    // Volume 255 of two sub-volumes.
    b.olu(255).Status(0).SluCount(2).Slun(0, 10).Slun(1, 11).OlbaCount(64);
    slice(b, 10, 255, 32);
    slice(b, 11, 255, 32);
    // Volume 3 of one sub-volume.
    b.olu(3).Status(0).SluCount(1).Slun(0, 0).OlbaCount(500);
    slice(b, 0, 3, 500);
    // A sub-volume of a volume without an entry.
    slice(b, 5, 100, 64);
    // A free volume and a free sub-volume, other fields filled.
    b.olu(20).Status(6).SluCount(2).Slun(0, 13).Slun(1, 14).OlbaCount(64);
    slice(b, 13, 20, 32, 6);
    slice(b, 14, 12, 32, 6);
}

class ConcatenatedExtents : public smis::test::ProviderTestBed {
protected:
    void SetUp() override
    {
        ProviderTestBed::SetUp();
        install({{A, table}});
    }
};

TEST_F(ConcatenatedExtents, WholeVolumes)
{
    auto ad = adapter("VELDARO_ConcatenatedExtent");
    Instance_List list;
    ASSERT_EQ(ad->enum_instances(list), 0);
    EXPECT_EQ(deviceIds<VELDARO_ConcatenatedExtent>(list),
              (std::vector<std::string>{"10.0.0.1/CAT00012", "10.0.0.1/CAT00255"}));
    expectEachFoundByGet<VELDARO_ConcatenatedExtent>(*ad, list);

    const auto* c = findDevice<VELDARO_ConcatenatedExtent>(list, A, "CAT00012");
    ASSERT_NE(c, nullptr);
    EXPECT_STREQ(c->Caption.value.c_str(), "Concatenated Extent");
    EXPECT_STREQ(c->ElementName.value.c_str(), "LogicalVolume00012(JBOD)");
    EXPECT_STREQ(c->Name.value.c_str(), "VELDARO +Concat Volume   +0000C");
    EXPECT_EQ(c->OperationalStatus.value[0], 6) << "the volume entry's status";
    EXPECT_EQ(c->ExtentStatus.value[0], 3);
    EXPECT_EQ(c->NumberOfBlocks.value, 3000u);
    EXPECT_EQ(c->ConsumableBlocks.value, 3000u);
    EXPECT_EQ(c->ExtentStripeLength.value, 1u);
    EXPECT_TRUE(c->IsConcatenated.value);
    EXPECT_FALSE(c->IsBasedOnUnderlyingRedundancy.value);
    EXPECT_EQ(c->DataRedundancy.value, 1);
    EXPECT_EQ(c->PackageRedundancy.value, 0);
    EXPECT_FALSE(c->Primordial.value);
    EXPECT_STREQ(findDevice<VELDARO_ConcatenatedExtent>(list, A, "CAT00255")->Name.value.c_str(),
                 "VELDARO +Concat Volume   +000FF");

    for (const char* key : {"CAT12", "CAT000012", "CAT00003", "CAT00020", "CAT00100", "PVD00012", ""})
        EXPECT_EQ(getStatus<VELDARO_ConcatenatedExtent>(*ad, A, key), 60) << key;
}

TEST_F(ConcatenatedExtents, PartsOfWholeVolumes)
{
    auto ad = adapter("VELDARO_PartOfConcatenatedExtent");
    Instance_List list;
    ASSERT_EQ(ad->enum_instances(list), 0);
    EXPECT_EQ(deviceIds<VELDARO_PartOfConcatenatedExtent>(list),
              (std::vector<std::string>{"10.0.0.1/PVD00007", "10.0.0.1/PVD00008", "10.0.0.1/PVD00009",
                                        "10.0.0.1/PVD00010", "10.0.0.1/PVD00011"}));
    expectEachFoundByGet<VELDARO_PartOfConcatenatedExtent>(*ad, list);

    const auto* p = findDevice<VELDARO_PartOfConcatenatedExtent>(list, A, "PVD00007");
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p->Caption.value.c_str(), "Part Of Concatenated Extent");
    EXPECT_STREQ(p->ElementName.value.c_str(), "LogicalVolume00007(JBOD)");
    EXPECT_STREQ(p->Name.value.c_str(), "VELDARO +Logical Volume  +00007");
    EXPECT_STREQ(p->Purpose.value.c_str(), "00007+0x00");
    EXPECT_EQ(p->OperationalStatus.value[0], 2);
    EXPECT_EQ(p->NumberOfBlocks.value, 1000u);
    EXPECT_FALSE(p->SequentialAccess.value);
    const auto* degraded = findDevice<VELDARO_PartOfConcatenatedExtent>(list, A, "PVD00008");
    ASSERT_NE(degraded, nullptr);
    EXPECT_EQ(degraded->OperationalStatus.value[0], 3) << "each part carries its own status";
    EXPECT_EQ(degraded->ExtentStatus.value[0], 6);
    EXPECT_EQ(degraded->NumberOfBlocks.value, 1200u);
    EXPECT_STREQ(findDevice<VELDARO_PartOfConcatenatedExtent>(list, A, "PVD00009")->Purpose.value.c_str(),
                 "00009+0x06");

    for (const char* key : {"PVD7", "PVD00000", "PVD00005", "PVD00013", "PVD00014", "CAT00007"})
        EXPECT_EQ(getStatus<VELDARO_PartOfConcatenatedExtent>(*ad, A, key), 60) << key;
}

}  // namespace
