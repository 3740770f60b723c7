// Which extent is built on which, from the disks of RAID1 groups and the
// free areas of RAID groups upward.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AssociationCalls.h"
#include "AssociationTables.h"
#include "ByteOrder.h"
#include "CIM_BasedOn.h"
#include "CIM_BasedOn_Provider.h"
#include "SMIS_CMTAccess.h"
#include "TempInstallDir.h"
#include "VELDARO_DiskExtent.h"
#include "VELDARO_ConcatenatedExtent.h"
#include "VELDARO_FreeExtent.h"
#include "VELDARO_LayerixExtent.h"
#include "VELDARO_LayerixSubExtent.h"
#include "VELDARO_MirroredExtent.h"
#include "VELDARO_PartOfConcatenatedExtent.h"
#include "VELDARO_RAIDCompositeExtent.h"
#include "VELDARO_SDPVExtent.h"
#include "VELDARO_SnapDataCompositeExtent.h"
#include "VELDARO_StorageVolume.h"
#include "VELDARO_ThinProvisioningExtent.h"
#include "VELDARO_ThinProvisioningFreeExtent.h"

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

// RAID5 group 3 holds volume 3 (one slice) and the two slices of the
// concatenated volume 12; RAID1+0 group 5 has one mirrored pair of two
// disks; thin pool 5 is made of group 4, which holds thin volume 6.
void buildPoolsAndVolumes(CMTBuilder& b)
{
    b.maxCounts({.olu = 16, .slu = 8, .rlu = 6, .dlu = 4, .mlu = 4});
    disk(b, 0x0201, 2, 1000);
    disk(b, 0x0202, 2, 1000);
    group(b, 3, 1).RlbaCount(10000).StripeSize(128).SluCount(3).Slun(0, 3).Slun(1, 4).Slun(2, 5);
    b.slu(3).Status(0).LuType(1).Rlun(3).Olun(3).StartRlba(0).SlbaCount(1000).StartOlba(0).OlbaCount(1000);
    b.olu(3).Status(0).SluCount(1).Slun(0, 3).OlbaCount(1000);
    b.slu(4).Status(0).LuType(1).Rlun(3).Olun(12).StartRlba(1024).SlbaCount(500).StartOlba(0).OlbaCount(500);
    b.slu(5).Status(0).LuType(1).Rlun(3).Olun(12).StartRlba(2048).SlbaCount(300).StartOlba(500).OlbaCount(300);
    b.olu(12).Status(0).SluCount(2).Slun(0, 4).Slun(1, 5).OlbaCount(800);
    group(b, 4, 1).Mode(0x01).PoolNumber(5).RlbaCount(4096).SluCount(1).Slun(0, 6);
    b.tpp(5).RaidLevel(1).MemDiskCnt(4).MaxPoolLbaCount(1 << 20).LxrpNumber(255);
    b.slu(6).Status(0).LuType(9).Rlun(4).Olun(6).SlbaCount(4096).OlbaCount(4096);
    b.olu(6).Status(0).SluCount(1).Slun(0, 6).OlbaCount(4096);
    group(b, 5, 12).RlbaCount(2000).StripeSize(64).MemberDiskCount(1).Dlun(0, 2);
    dlu(b, 2, 5, 0, {0x0201, 0x0202});
}

// Tiering pool 26 of one sub-pool (thin pool entry 3), made of RAID group 6,
// which holds tiering volume 7.
void buildTiering(CMTBuilder& b)
{
    b.maxCounts({.olu = 8, .slu = 8, .rlu = 8, .dlu = 2, .mlu = 2});
    group(b, 6, 1).Mode(0x21).PoolNumber(3).RlbaCount(2048).SluCount(1).Slun(0, 7);
    b.tpp(3).RaidLevel(1).MemDiskCnt(4).MaxPoolLbaCount(1000).LxrpNumber(26);
    b.lxrp(26).ValidFlag(1).SubPoolCnt(1).SubPoolNumber(0, 3);
    b.slu(7).Status(0).LuType(11).Rlun(6).Olun(7).SlbaCount(1000).OlbaCount(1000);
    b.olu(7).Status(0).SluCount(1).Slun(0, 7).OlbaCount(1000);
}

// Snapshot data pool 1 of two volumes on RAID5 group 1, and a third one,
// unused, in the same pool.
void buildSnapData(CMTBuilder& b)
{
    b.maxCounts({.olu = 64, .slu = 4, .rlu = 2, .dlu = 2, .mlu = 2});
    group(b, 1, 1).RlbaCount(8192).StripeSize(128).SluCount(2).Slun(0, 0).Slun(1, 1);
    b.slu(0).Status(0).LuType(7).Rlun(1).Olun(40).SDPID(1).StartRlba(0).SlbaCount(2048);
    b.olu(40).Status(0).SluCount(1).Slun(0, 0);
    b.slu(1).Status(0).LuType(7).Rlun(1).Olun(41).SDPID(1).StartRlba(2048).SlbaCount(1024);
    b.olu(41).Status(0).SluCount(1).Slun(0, 1);
    b.slu(2).Status(6).LuType(7).Rlun(1).Olun(42).SDPID(1).SlbaCount(512);
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

std::vector<std::string> describeAll(const Held_List& list)
{
    std::vector<std::string> out;
    for (const auto& i : list)
        out.push_back(describe(i.get()));
    return out;
}

class BasedOn : public ::testing::Test {
protected:
    void SetUp() override { install(buildArray); }

    void install(void (*build)(CMTBuilder&))
    {
        cimple::SMIS_CMTAccess::destroy();
        CMTBuilder b;
        build(b);
        b.installCmf(A);
        dir.writeEnv({std::string("StorageIP=") + A});
    }

    // Pool usage records of the array's status table: pool, total and
    // used MiB.
    static void usage(std::uint16_t pool, std::uint32_t totalMiB, std::uint32_t usedMiB)
    {
        std::uint8_t record[32] = {};
        smis::storeLE16(record, pool);
        smis::storeLE32(record + 4, totalMiB);
        smis::storeLE32(record + 8, usedMiB);
        cimple::SMIS_CMTAccess* cache = cimple::SMIS_CMTAccess::getInstance();
        ASSERT_NE(cache, nullptr);
        ASSERT_EQ(cache->SetExTableInfo(A, cimple::SMIS_CMTAccess::EX_THIN_POOL_ALARM, nullptr, record, 32, 1, 0), 0);
    }
    // The snapshot data pool record of pool `pool` in the status table.
    static void snapDataPool(std::uint8_t pool)
    {
        std::uint8_t record[64] = {pool};
        cimple::SMIS_CMTAccess* cache = cimple::SMIS_CMTAccess::getInstance();
        ASSERT_NE(cache, nullptr);
        ASSERT_EQ(cache->SetExTableInfo(A, cimple::SMIS_CMTAccess::EX_SNAP_DATA_POOL, nullptr, record, 64, 1, 0), 0);
    }
    void TearDown() override { cimple::SMIS_CMTAccess::destroy(); }

    // The enumeration, described, in answer order.
    std::vector<std::string> enumerated()
    {
        Held_List list;
        EXPECT_EQ(assoc_test::enumerate<CIM_BasedOn>(provider, list), 0);
        return describeAll(list);
    }

    // A source and what the provider answers about it.
    struct Case {
        assoc_test::Held source;
        std::vector<std::string> expected;
    };

    // The DeviceIDs of the associators of source (of their names when names
    // is true), in answer order.
    std::vector<std::string> associatorIds(const cimple::Instance* source, bool names)
    {
        Held_List got;
        EXPECT_EQ(assoc_test::associators(provider, source, got, names), 0);
        std::vector<std::string> ids;
        for (const auto& far : got)
            ids.push_back(assoc_test::text(far.get(), "DeviceID"));
        return ids;
    }

    // The references of source, described, in answer order.
    std::vector<std::string> referencesOf(const cimple::Instance* source)
    {
        Held_List got;
        cimple::Enum_References_Handler<CIM_BasedOn> h(
            [](cimple::Instance* i, cimple::Enum_References_Status, void* out) {
                return assoc_test::keep_owned(i, cimple::ENUM_INSTANCES_OK, out);
            },
            &got);
        EXPECT_EQ(provider.enum_references(source, nullptr, "", &h), cimple::ENUM_REFERENCES_OK);
        return describeAll(got);
    }

    // answer(source) of each case is what the case expects.
    template <std::size_t N, class Answer>
    static void expectEach(Case (&cases)[N], Answer answer)
    {
        for (Case& c : cases) {
            SCOPED_TRACE(assoc_test::text(c.source.get(), "DeviceID"));
            EXPECT_EQ(answer(c.source.get()), c.expected);
        }
    }

    smis::test::TempInstallDir dir;
    cimple::CIM_BasedOn_Provider provider;
};

TEST_F(BasedOn, EnumerationRelatesMirrorDisksAndFreeAreas)
{
    EXPECT_EQ(enumerated(), (std::vector<std::string>{
                                "DE0x0101>VD0001 #1 0-511999",
                                "DE0x0102>VD0001 #2 0-0",
                                "VD0002>FE0002_F000 #1 65536-524287",
                                "VD0002>FE0002_F001 #2 1048576-5119999",
                            }))
        << "a disk without blocks ends at 0; the full RAID1 group has no free area";
}

TEST_F(BasedOn, AssociatorsOfEachSourceKind)
{
    Case cases[] = {
        {extent<cimple::VELDARO_DiskExtent>(A, "DE0x0102"), {"VD0001"}},
        {extent<cimple::VELDARO_DiskExtent>(A, "DE0x0103"), {}},
        {extent<cimple::VELDARO_RAIDCompositeExtent>(A, "VD0001"), {"DE0x0101", "DE0x0102"}},
        {extent<cimple::VELDARO_RAIDCompositeExtent>(A, "VD0002"), {"FE0002_F000", "FE0002_F001"}},
        {extent<cimple::VELDARO_FreeExtent>(A, "FE0002_F001"), {"VD0002"}},
        {extent<cimple::VELDARO_FreeExtent>(A, "FE0002_F002"), {}},
    };
    expectEach(cases, [&](const cimple::Instance* source) { return associatorIds(source, false); });
}

TEST_F(BasedOn, VolumesConcatenationsMirrorsAndThinPools)
{
    install(buildPoolsAndVolumes);
    usage(5, 10, 4);
    EXPECT_EQ(enumerated(), (std::vector<std::string>{
                                "DE0x0201>MRD0x0201_0x0202 #1 0-511999",
                                "DE0x0202>MRD0x0201_0x0202 #2 0-511999",
                                "VD0003>FE0003_F000 #1 786432-1048575",
                                "VD0003>FE0003_F001 #2 1245184-5119999",
                                "VD0005>FE0005_F000 #1 0-1023999",
                                "VD0003>VOL00003 #1 0-511999",
                                "VD0003>PVD00004 #1 524288-780287",
                                "VD0003>PVD00005 #2 1048576-1202175",
                                "PVD00004>CAT00012 #1 0-255999",
                                "PVD00005>CAT00012 #2 256000-409599",
                                "CAT00012>VOL00012 #1 0-409599",
                                "VD0004>TPP0005 #1 0-2097151",
                                "TPP0005>TPPC00006 #1 ---",
                                "TPP0005>TPFE0005_F000 #1 4194303-10485759",
                            }))
        << "the concatenated volume is not a slice of its group; thin volumes have no addresses";

    Case cases[] = {
        {extent<cimple::VELDARO_MirroredExtent>(A, "MRD0x0201_0x0202"), {"DE0x0201", "DE0x0202"}},
        {extent<cimple::VELDARO_DiskExtent>(A, "DE0x0202"), {"MRD0x0201_0x0202"}},
        {extent<cimple::VELDARO_PartOfConcatenatedExtent>(A, "PVD00005"), {"VD0003", "CAT00012"}},
        {extent<cimple::VELDARO_ConcatenatedExtent>(A, "CAT00012"), {"PVD00004", "PVD00005", "VOL00012"}},
        {extent<cimple::VELDARO_StorageVolume>(A, "VOL00012"), {"CAT00012"}},
        {extent<cimple::VELDARO_StorageVolume>(A, "VOL00003"), {"VD0003"}},
        {extent<cimple::VELDARO_StorageVolume>(A, "TPPC00006"), {"TPP0005"}},
        {extent<cimple::VELDARO_ThinProvisioningExtent>(A, "TPP0005"), {"VD0004", "TPPC00006", "TPFE0005_F000"}},
        {extent<cimple::VELDARO_ThinProvisioningFreeExtent>(A, "TPFE0005_F000"), {"TPP0005"}},
        {extent<cimple::VELDARO_RAIDCompositeExtent>(A, "VD0004"), {"TPP0005"}},
    };
    expectEach(cases, [&](const cimple::Instance* source) { return associatorIds(source, true); });
}

TEST_F(BasedOn, TieringPoolsTheirSubPoolsGroupsAndVolumes)
{
    install(buildTiering);
    EXPECT_EQ(enumerated(), (std::vector<std::string>{
                                "LXE0026>LXV00007 #1 ---",
                                "LXSE0003>LXE0026 #1 0-511999",
                                "VD0006>LXSE0003 #1 0-1048575",
                            }));
    Case cases[] = {
        {extent<cimple::VELDARO_StorageVolume>(A, "LXV00007"), {"LXE0026"}},
        {extent<cimple::VELDARO_LayerixExtent>(A, "LXE0026"), {"LXV00007", "LXSE0003"}},
        {extent<cimple::VELDARO_LayerixSubExtent>(A, "LXSE0003"), {"LXE0026", "VD0006"}},
        {extent<cimple::VELDARO_RAIDCompositeExtent>(A, "VD0006"), {"LXSE0003"}},
    };
    expectEach(cases, [&](const cimple::Instance* source) { return associatorIds(source, false); });
}

TEST_F(BasedOn, SnapshotDataVolumesUnderTheirGroupAndTheirPool)
{
    install(buildSnapData);
    snapDataPool(1);
    EXPECT_EQ(enumerated(), (std::vector<std::string>{
                                "VD0001>FE0001_F000 #1 1572864-4194303",
                                "VD0001>SDP00040 #1 0-1048575",
                                "VD0001>SDP00041 #2 1048576-1572863",
                                "SDP00040>SDCE01 #1 0-1048575",
                                "SDP00041>SDCE01 #1 0-524287",
                            }));
    Case cases[] = {
        {extent<cimple::VELDARO_RAIDCompositeExtent>(A, "VD0001"),
         {"VD0001>FE0001_F000 #1 1572864-4194303", "VD0001>SDP00040 #1 0-1048575",
          "VD0001>SDP00041 #2 1048576-1572863"}},
        {extent<cimple::VELDARO_SDPVExtent>(A, "SDP00041"),
         {"VD0001>SDP00041 #2 1048576-1572863", "SDP00041>SDCE01 #1 0-524287"}},
        {extent<cimple::VELDARO_SDPVExtent>(A, "SDP00042"), {}},
        {extent<cimple::VELDARO_SnapDataCompositeExtent>(A, "SDCE01"),
         {"SDP00040>SDCE01 #1 0-1048575", "SDP00041>SDCE01 #1 0-524287"}},
    };
    expectEach(cases, [&](const cimple::Instance* source) { return referencesOf(source); });
}

TEST_F(BasedOn, ThinPoolWithoutUsageRecordKeepsTheOtherRows)
{
    install(buildPoolsAndVolumes);
    usage(9, 10, 4);
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<CIM_BasedOn>(provider, list), 0);
    for (const auto& i : list)
        EXPECT_EQ(describe(i.get()).find("TPFE"), std::string::npos) << describe(i.get());
    EXPECT_EQ(list.size(), 13u);
}

}  // namespace
