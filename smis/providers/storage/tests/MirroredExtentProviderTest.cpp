// Mirrored extents (the mirrored disk sets of RAID1+0 groups) through the
// framework adapter.

#include <gtest/gtest.h>

#include "ProviderTestBed.h"
#include "VELDARO_MirroredExtent.h"
#include "VELDARO_MirroredExtent_Resource.h"

using cimple::Instance_List;
using cimple::VELDARO_MirroredExtent;
using smis::test::CMTBuilder;

namespace {

constexpr const char* A = "10.0.0.1";

CMT_RLUW group(CMTBuilder& b, std::uint16_t rlun, std::uint8_t level)
{
    CMT_RLUW r = b.rlu(rlun);
    r.Status(0x2000).RaidLevel(level);
    for (std::size_t k = 0; k < 16; ++k)
        r.Dlun(k, 0xFFFF);
    return r;
}

// A disk record whose table position follows from its number: enclosure
// number >> 5, slot the low five bits (below 24).
void disk(CMTBuilder& b, std::uint16_t plun, std::uint16_t dlun)
{
    const std::uint32_t de = plun >> 5;
    b.disk(0x80000000u | ((de / 4) << 11) | ((de % 4) << 8) | (plun & 0x1F), plun).Status(0).Usage(1).Dlun(dlun);
}

CMT_DLUW set(CMTBuilder& b, std::uint16_t dlun, std::uint16_t rlun, std::uint8_t member,
             std::initializer_list<std::uint16_t> disks)
{
    CMT_DLUW d = b.dlu(dlun);
    d.Status(0).Rlun(rlun).MemberDiskNumber(member).BlockCount(5000 + dlun).MemberDiskCount(2);
    for (std::size_t k = 0; k < 16; ++k)
        d.UsePlu(k, 0xFFFF);
    std::size_t k = 0;
    for (std::uint16_t plun : disks) {
        d.UsePlu(k++, plun);
        disk(b, plun, dlun);
    }
    return d;
}

// Group 2: RAID1+0 over four sets (slot 3 empty, slot 5 names a set without
// an entry, slot 6 a set of group 4). Group 3: RAID1+0 with Mode bit 0x02.
// Group 4: RAID5 with a set of its own.
// trimmed: set 1 keeps one disk and set 2 none.
void table(CMTBuilder& b, bool trimmed = false)
{
    b.maxCounts({.olu = 2, .slu = 2, .rlu = 8, .dlu = 16, .mlu = 2});
    CMT_RLUW g2 = group(b, 2, 12);
    g2.MemberDiskCount(7).Dlun(0, 0).Dlun(1, 1).Dlun(2, 2).Dlun(4, 3).Dlun(5, 14).Dlun(6, 8);
    set(b, 0, 2, 0, {0x0012, 0x0013});
    CMT_DLUW s1 = set(b, 1, 2, 1, {0x0014, 0x0015});
    CMT_DLUW s2 = set(b, 2, 2, 2, {0x0016, 0x0017});
    if (trimmed) {
        s1.UsePlu(1, 0xFFFF);
        s2.UsePlu(0, 0xFFFF).UsePlu(1, 0xFFFF);
    }
    set(b, 3, 2, 3, {0x0022, 0x0023});
    CMT_RLUW g3 = group(b, 3, 12);
    g3.Mode(0x02).MemberDiskCount(1).Dlun(0, 5);
    set(b, 5, 3, 0, {0x0034, 0x0035});
    group(b, 4, 1).MemberDiskCount(1).Dlun(0, 8);
    set(b, 8, 4, 0, {0x0050, 0x0051});
}

class MirroredExtents : public smis::test::ProviderTestBed {};

TEST_F(MirroredExtents, OneInstancePerSetOfRaid10Groups)
{
    install({{A, [](CMTBuilder& b) { table(b); }}});
    auto ad = adapter("VELDARO_MirroredExtent");
    Instance_List list;
    ASSERT_EQ(ad->enum_instances(list), 0);
    EXPECT_EQ(deviceIds<VELDARO_MirroredExtent>(list),
              (std::vector<std::string>{"10.0.0.1/MRD0x0012_0x0013", "10.0.0.1/MRD0x0014_0x0015",
                                        "10.0.0.1/MRD0x0016_0x0017", "10.0.0.1/MRD0x0022_0x0023",
                                        "10.0.0.1/MRD0x0034_0x0035"}));
    expectEachFoundByGet<VELDARO_MirroredExtent>(*ad, list);

    const auto* m = findDevice<VELDARO_MirroredExtent>(list, A, "MRD0x0014_0x0015");
    ASSERT_NE(m, nullptr);
    EXPECT_STREQ(m->Caption.value.c_str(), "Mirrored Extent");
    EXPECT_STREQ(m->ElementName.value.c_str(), "RAID Group0002(RAID1+0)");
    EXPECT_STREQ(m->Name.value.c_str(), "VELDARO +RAID Group      +0002");
    EXPECT_EQ(m->OperationalStatus.value[0], 2);
    EXPECT_EQ(m->NumberOfBlocks.value, 5001u);
    EXPECT_EQ(m->ConsumableBlocks.value, 5001u);
    EXPECT_EQ(m->ExtentStripeLength.value, 1u);
    EXPECT_EQ(m->StripingNumber.value, 1u);
    EXPECT_EQ(m->DataRedundancy.value, 2);
    EXPECT_EQ(m->PackageRedundancy.value, 1);
    EXPECT_TRUE(m->NoSinglePointOfFailure.value);
    EXPECT_TRUE(m->IsBasedOnUnderlyingRedundancy.value);
    EXPECT_FALSE(m->IsConcatenated.value);
    EXPECT_FALSE(m->SequentialAccess.value);

    const auto* reserved = findDevice<VELDARO_MirroredExtent>(list, A, "MRD0x0034_0x0035");
    ASSERT_NE(reserved, nullptr);
    EXPECT_EQ(reserved->NumberOfBlocks.value, 5005u);
    EXPECT_EQ(reserved->ConsumableBlocks.value, 0u) << "Mode bit 0x02";

    // The lookup follows the first disk; the rest of the key must match too.
    for (const char* key : {"MRD0x0012_0x0099", "MRD0x0050_0x0051", "MRD0x0099_0x0012", "MRD0x", "RD0x0012_0x0013", ""})
        EXPECT_EQ(getStatus<VELDARO_MirroredExtent>(*ad, A, key), 60) << key;
}

TEST_F(MirroredExtents, SetOfOneDiskIsFoundAgainAndEmptySetIsSkipped)
{
    install({{A, [](CMTBuilder& b) { table(b, /*trimmed=*/true); }}});
    auto ad = adapter("VELDARO_MirroredExtent");
    Instance_List list;
    ASSERT_EQ(ad->enum_instances(list), 0);
    EXPECT_EQ(deviceIds<VELDARO_MirroredExtent>(list),
              (std::vector<std::string>{"10.0.0.1/MRD0x0012_0x0013", "10.0.0.1/MRD0x0014",
                                        "10.0.0.1/MRD0x0022_0x0023", "10.0.0.1/MRD0x0034_0x0035"}));
    EXPECT_EQ(getStatus<VELDARO_MirroredExtent>(*ad, A, "MRD0x0014"), 0);
}

TEST(MirroredExtentKeys, DivideDeviceID)
{
    std::uint16_t a = 0, b = 0;
    ASSERT_TRUE(cimple::VELDARO_MirroredExtent_Resource::divide_DeviceID("MRD0x00ab_0x0013", &a, &b));
    EXPECT_EQ(a, 0xab);
    EXPECT_EQ(b, 0x13);
    ASSERT_TRUE(cimple::VELDARO_MirroredExtent_Resource::divide_DeviceID("MRD0x0012", &a, &b));
    EXPECT_EQ(a, 0x12);
    EXPECT_EQ(b, 0xFFFF);
    for (const char* key : {"", "MRD", "MRD0x", "XRD0x0012_0x0013"})
        EXPECT_FALSE(cimple::VELDARO_MirroredExtent_Resource::divide_DeviceID(key, &a, &b)) << key;
    EXPECT_FALSE(cimple::VELDARO_MirroredExtent_Resource::divide_DeviceID(nullptr, &a, &b));
}

}  // namespace
