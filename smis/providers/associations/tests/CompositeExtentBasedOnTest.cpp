// The composite extent members of RAID groups, and the frame behaviour the
// parent-shape providers share (arrays without a table,
// unsupported and unrelated sources, request filters), on configuration
// tables installed as cmf files in a temporary install directory.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <algorithm>
#include "AssociationCalls.h"
#include "AssociationTables.h"
#include "CIM_CompositeExtentBasedOn.h"
#include "CIM_CompositeExtentBasedOn_Provider.h"
#include "CIM_StorageExtent.h"
#include "CMTBuilder.h"
#include "SMIS_CMTAccess.h"
#include "TempInstallDir.h"
#include "VELDARO_DiskDrive.h"
#include "VELDARO_DiskExtent.h"
#include "VELDARO_MirroredExtent.h"
#include "VELDARO_RAIDCompositeExtent.h"
#include "VELDARO_StripingCompositeExtent.h"

using assoc_test::Held_List;
using cimple::CIM_CompositeExtentBasedOn;
using smis::test::CMTBuilder;
using namespace assoc_test::tables;

namespace {

constexpr const char* A = "10.0.0.1";
constexpr const char* NO_TABLE = "10.0.0.9";

// RAID group 0 is free; 1 is RAID5 over DLU 0 (three disks); 2 is RAID5+0
// over DLUs 1 and 2 (two disks each); 3 is RAID1 over DLU 3; 4 is RAID1+0
// with one mirrored pair (DLU 4).
void buildArray(CMTBuilder& b, bool brokenThirdDisk = false)
{
    b.maxCounts({.olu = 4, .slu = 4, .rlu = 5, .dlu = 5, .mlu = 4});
    disk(b, 0x0101, 0, 1000);
    disk(b, 0x0102, 0, 2000);
    disk(b, 0x0103, 0, 3000, brokenThirdDisk);
    disk(b, 0x0104, 1, 0);
    disk(b, 0x0105, 1, 500);
    disk(b, 0x0106, 2, 600);
    disk(b, 0x0107, 2, 700);
    disk(b, 0x0108, 3, 800);
    disk(b, 0x0109, 4, 900);
    disk(b, 0x010A, 4, 900);
    group(b, 0, 1).Status(3);
    group(b, 1, 1).StripeSize(128).MemberDiskCount(1).Dlun(0, 0);
    group(b, 2, 9).StripeSize(256).MemberDiskCount(2).Dlun(0, 1).Dlun(1, 2);
    group(b, 3, 4).StripeSize(64).MemberDiskCount(1).Dlun(0, 3);
    dlu(b, 0, 1, 0, {0x0101, 0x0102, 0x0103});
    dlu(b, 1, 2, 0, {0x0104, 0x0105});
    dlu(b, 2, 2, 1, {0x0106, 0x0107});
    dlu(b, 3, 3, 0, {0x0108});
    group(b, 4, 12).StripeSize(32).MemberDiskCount(1).Dlun(0, 4);
    dlu(b, 4, 4, 0, {0x0109, 0x010A});
}

// "antecedent>dependent #order start-end /depth" of one association.
std::string describe(const cimple::Instance* i)
{
    const auto* a = static_cast<const CIM_CompositeExtentBasedOn*>(i);
    std::string s = assoc_test::text(assoc_test::end(i, "Antecedent"), "DeviceID") + ">" +
                    assoc_test::text(assoc_test::end(i, "Dependent"), "DeviceID") + " #" +
                    std::to_string(a->OrderIndex.value) + " " + std::to_string(a->StartingAddress.value) + "-" +
                    std::to_string(a->EndingAddress.value) + " /";
    s += a->UserDataStripeDepth.null ? "-" : std::to_string(a->UserDataStripeDepth.value);
    return s;
}

std::vector<std::string> describeAll(const Held_List& list)
{
    std::vector<std::string> out;
    for (const auto& i : list)
        out.push_back(describe(i.get()));
    return out;
}

std::vector<std::string> deviceIds(const Held_List& list)
{
    std::vector<std::string> out;
    for (const auto& i : list)
        out.push_back(assoc_test::text(i.get(), "DeviceID"));
    return out;
}

class CompositeExtentBasedOn : public ::testing::Test {
protected:
    void SetUp() override { cimple::SMIS_CMTAccess::destroy(); }
    void TearDown() override { cimple::SMIS_CMTAccess::destroy(); }

    void install(const std::vector<std::string>& order, bool brokenThirdDisk = false)
    {
        CMTBuilder b;
        buildArray(b, brokenThirdDisk);
        b.installCmf(A);
        std::vector<std::string> env;
        for (const std::string& ip : order)
            env.push_back("StorageIP=" + ip);
        dir.writeEnv(env);
    }

    smis::test::TempInstallDir dir;
    cimple::CIM_CompositeExtentBasedOn_Provider provider;
};

TEST_F(CompositeExtentBasedOn, EnumerationSkipsArraysWithoutTableAndRelatesEveryMember)
{
    install({NO_TABLE, A});
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<CIM_CompositeExtentBasedOn>(provider, list), 0);
    EXPECT_EQ(describeAll(list),
              (std::vector<std::string>{
                  "DE0x0101>VD0001 #1 0-511999 /128",
                  "DE0x0102>VD0001 #2 0-1023999 /128",
                  "DE0x0103>VD0001 #3 0-1535999 /128",
                  "MRD0x0109_0x010a>VD0004 #1 0-2097151 /32",
                  "STP0002_S00>VD0002 #1 0-2097151 /-",
                  "STP0002_S01>VD0002 #2 0-2097151 /-",
                  "DE0x0104>STP0002_S00 #1 0-18446744073709551615 /256",
                  "DE0x0105>STP0002_S00 #2 0-255999 /256",
                  "DE0x0106>STP0002_S01 #1 0-307199 /256",
                  "DE0x0107>STP0002_S01 #2 0-358399 /256",
              }))
        << "the RAID1 group has no pair here; RAID5+0 disks sit under their striping composites only; "
           "a disk without blocks ends at all ones";
}

TEST_F(CompositeExtentBasedOn, EmptyConfigurationAndADiskWhoseItemIdIsNotItsNumber)
{
    install({});
    Held_List none;
    EXPECT_EQ(assoc_test::enumerate<CIM_CompositeExtentBasedOn>(provider, none), 0);
    EXPECT_TRUE(none.empty());

    // The disk's status and extent are found by its own number, whatever
    // its item id carries: the group's three members are all related.
    cimple::SMIS_CMTAccess::destroy();
    install({A}, /*brokenThirdDisk=*/true);
    Held_List list;
    EXPECT_EQ(assoc_test::enumerate<CIM_CompositeExtentBasedOn>(provider, list), 0);
    std::vector<std::string> all = describeAll(list);
    EXPECT_NE(std::find(all.begin(), all.end(), "DE0x0103>VD0001 #3 0-1535999 /128"), all.end());
}

TEST_F(CompositeExtentBasedOn, AssociatorsOfEachSourceKind)
{
    install({A});
    struct Case {
        assoc_test::Held source;
        bool names;
        std::vector<std::string> expected;
    };
    Case cases[] = {
        {extent<cimple::VELDARO_RAIDCompositeExtent>(A, "VD0001"), false, {"DE0x0101", "DE0x0102", "DE0x0103"}},
        {extent<cimple::VELDARO_RAIDCompositeExtent>(A, "VD0002"), true, {"STP0002_S00", "STP0002_S01"}},
        {extent<cimple::VELDARO_RAIDCompositeExtent>(A, "VD0003"), false, {}},
        {extent<cimple::VELDARO_DiskExtent>(A, "DE0x0102"), true, {"VD0001"}},
        {extent<cimple::VELDARO_DiskExtent>(A, "DE0x0107"), false, {"STP0002_S01"}},
        {extent<cimple::VELDARO_DiskExtent>(A, "DE0x0108"), false, {}},
        {extent<cimple::VELDARO_MirroredExtent>(A, "MRD0x0109_0x010a"), true, {"VD0004"}},
        {extent<cimple::VELDARO_RAIDCompositeExtent>(A, "VD0004"), true, {"MRD0x0109_0x010a"}},
        {extent<cimple::VELDARO_StripingCompositeExtent>(A, "STP0002_S01"), false,
         {"VD0002", "DE0x0106", "DE0x0107"}},
        // Unknown group, unparsable key, member number beyond the slots.
        {extent<cimple::VELDARO_RAIDCompositeExtent>(A, "VD0042"), false, {}},
        {extent<cimple::VELDARO_DiskExtent>(A, "XX"), false, {}},
        {extent<cimple::VELDARO_StripingCompositeExtent>(A, "STP0002_S16"), false, {}},
        // An array that is not configured is never opened.
        {extent<cimple::VELDARO_RAIDCompositeExtent>("10.0.0.77", "VD0001"), false, {}},
    };
    for (Case& c : cases) {
        Held_List got;
        const int status = assoc_test::associators(provider, c.source.get(), got, c.names);
        SCOPED_TRACE(assoc_test::text(c.source.get(), "DeviceID"));
        EXPECT_EQ(status, 0);
        EXPECT_EQ(deviceIds(got), c.expected);
        for (const auto& far : got)
            EXPECT_FALSE(cimple::key_eq(far.get(), c.source.get()));
    }
}

TEST_F(CompositeExtentBasedOn, FiltersUnrelatedAndUnsupportedSources)
{
    install({A});
    auto raid = extent<cimple::VELDARO_RAIDCompositeExtent>(A, "VD0001");
    Held_List got;
    EXPECT_EQ(assoc_test::associators(provider, raid.get(), got, false, "VELDARO_StripingCompositeExtent"), 0);
    EXPECT_TRUE(got.empty()) << "result class excludes the disks";
    EXPECT_EQ(assoc_test::associators(provider, raid.get(), got, false, "", "Antecedent"), 0);
    EXPECT_TRUE(got.empty()) << "the composite is the dependent";
    EXPECT_EQ(assoc_test::associators(provider, raid.get(), got, true, "CIM_StorageExtent", "Dependent", "Antecedent"),
              0);
    EXPECT_EQ(got.size(), 3u);

    // A listed class that this association does not relate: empty answer.
    cimple::Instance* drive = cimple::create(&cimple::VELDARO_DiskDrive::static_meta_class);
    assoc_test::Held held(drive);
    got.clear();
    EXPECT_EQ(assoc_test::associators(provider, drive, got), 0);
    EXPECT_EQ(assoc_test::associators(provider, drive, got, true), 0);
    EXPECT_TRUE(got.empty());

    // Neither an end class nor a listed one, and no source at all.
    auto thin = extent<cimple::CIM_StorageExtent>(A, "TPP0000");
    EXPECT_EQ(assoc_test::associators(provider, thin.get(), got), 171);
    EXPECT_EQ(assoc_test::associators(provider, thin.get(), got, true), 111);
    EXPECT_EQ(assoc_test::associators(provider, nullptr, got), 171);
    EXPECT_TRUE(got.empty());
}

}  // namespace
