// Which extent is built on which, from the disks of RAID1 groups and the
// free areas of RAID groups upward.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AssociationCalls.h"
#include "AssociationTables.h"
#include "CIM_BasedOn.h"
#include "CIM_BasedOn_Provider.h"
#include "SMIS_CMTAccess.h"
#include "TempInstallDir.h"
#include "VELDARO_DiskExtent.h"
#include "VELDARO_FreeExtent.h"
#include "VELDARO_RAIDCompositeExtent.h"

using assoc_test::Held_List;
using cimple::CIM_BasedOn;
using namespace assoc_test::tables;

namespace {

constexpr const char* A = "10.0.0.1";

// RAID1 group 1 over DLU 0 (disks 0x0101, 0x0102; the second one without
// blocks), one volume slice at its start; RAID5 group 2 over DLU 1 (disk
// 0x0103), two slices leaving two free areas; group 0 free.
void buildArray(CMTBuilder& b)
{
    b.maxCounts({.olu = 4, .slu = 4, .rlu = 3, .dlu = 2, .mlu = 4});
    disk(b, 0x0101, 0, 1000);
    disk(b, 0x0102, 0, 0);
    disk(b, 0x0103, 1, 3000);
    group(b, 0, 4).Status(3);
    group(b, 1, 4).RlbaCount(10000).StripeSize(128).MemberDiskCount(1).Dlun(0, 0).SluCount(1).Slun(0, 0);
    group(b, 2, 1).RlbaCount(10000).StripeSize(128).MemberDiskCount(1).Dlun(0, 1).SluCount(2).Slun(0, 1).Slun(1, 2);
    dlu(b, 0, 1, 0, {0x0101, 0x0102});
    dlu(b, 1, 2, 0, {0x0103});
    b.slu(0).Status(0).LuType(1).Rlun(1).StartRlba(0).SlbaCount(10000);
    b.slu(1).Status(0).LuType(1).Rlun(2).StartRlba(0).SlbaCount(100);
    b.slu(2).Status(0).LuType(1).Rlun(2).StartRlba(1024).SlbaCount(1024);
}

std::string describe(const cimple::Instance* i)
{
    const auto* a = static_cast<const CIM_BasedOn*>(i);
    auto value = [](const cimple::Property<cimple::uint64>& p) {
        return p.null ? std::string("-") : std::to_string(p.value);
    };
    return assoc_test::text(assoc_test::end(i, "Antecedent"), "DeviceID") + ">" +
           assoc_test::text(assoc_test::end(i, "Dependent"), "DeviceID") + " #" + std::to_string(a->OrderIndex.value) +
           " " + value(a->StartingAddress) + "-" + value(a->EndingAddress);
}

class BasedOn : public ::testing::Test {
protected:
    void SetUp() override
    {
        cimple::SMIS_CMTAccess::destroy();
        CMTBuilder b;
        buildArray(b);
        b.installCmf(A);
        dir.writeEnv({std::string("StorageIP=") + A});
    }
    void TearDown() override { cimple::SMIS_CMTAccess::destroy(); }

    smis::test::TempInstallDir dir;
    cimple::CIM_BasedOn_Provider provider;
};

TEST_F(BasedOn, EnumerationRelatesMirrorDisksAndFreeAreas)
{
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<CIM_BasedOn>(provider, list), 0);
    std::vector<std::string> got;
    for (const auto& i : list)
        got.push_back(describe(i.get()));
    EXPECT_EQ(got, (std::vector<std::string>{
                       "DE0x0101>VD0001 #1 0-511999",
                       "DE0x0102>VD0001 #2 0-0",
                       "VD0002>FE0002_F000 #1 65536-524287",
                       "VD0002>FE0002_F001 #2 1048576-5119999",
                   }))
        << "a disk without blocks ends at 0; the full RAID1 group has no free area";
}

TEST_F(BasedOn, AssociatorsOfEachSourceKind)
{
    struct Case {
        assoc_test::Held source;
        std::vector<std::string> expected;
    } cases[] = {
        {extent<cimple::VELDARO_DiskExtent>(A, "DE0x0102"), {"VD0001"}},
        {extent<cimple::VELDARO_DiskExtent>(A, "DE0x0103"), {}},
        {extent<cimple::VELDARO_RAIDCompositeExtent>(A, "VD0001"), {"DE0x0101", "DE0x0102"}},
        {extent<cimple::VELDARO_RAIDCompositeExtent>(A, "VD0002"), {"FE0002_F000", "FE0002_F001"}},
        {extent<cimple::VELDARO_FreeExtent>(A, "FE0002_F001"), {"VD0002"}},
        {extent<cimple::VELDARO_FreeExtent>(A, "FE0002_F002"), {}},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(assoc_test::text(c.source.get(), "DeviceID"));
        Held_List got;
        EXPECT_EQ(assoc_test::associators(provider, c.source.get(), got), 0);
        std::vector<std::string> ids;
        for (const auto& far : got)
            ids.push_back(assoc_test::text(far.get(), "DeviceID"));
        EXPECT_EQ(ids, c.expected);
    }
}

}  // namespace
