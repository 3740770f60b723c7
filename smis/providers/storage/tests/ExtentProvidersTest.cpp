// The extent providers end to end: the module loaded with dlopen, each
// provider driven through the framework adapter, the configuration tables of
// two arrays installed as cmf files in a temporary install directory.

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "CMTBuilder.h"
#include "Pegasus_Adapter.h"
#include "SMIS_CMTAccess.h"
#include "TempInstallDir.h"
#include "VELDARO_DiskExtent.h"
#include "VELDARO_FreeExtent.h"
#include "VELDARO_RAIDCompositeExtent.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_StripingCompositeExtent.h"
#include "ViewProbe.h"

using cimple::Instance;
using cimple::Instance_List;
using cimple::Instance_Ptr;
using cimple::Pegasus_Adapter;
using smis::test::CMTBuilder;

namespace {

constexpr const char* A = "10.0.0.1";
constexpr const char* B = "10.0.0.2";
constexpr const char* NO_TABLE = "10.0.0.9";

// RAID groups are numbered 0..3; the unused ones are free (status 3), and
// every Dlun slot not named is empty (0xFFFF).
CMT_RLUW raidGroup(CMTBuilder& b, std::uint16_t number)
{
    CMT_RLUW r = b.rlu(number);
    for (std::size_t k = 0; k < 16; ++k)
        r.Dlun(k, 0xFFFF);
    return r;
}

void freeGroups(CMTBuilder& b, std::initializer_list<std::uint16_t> numbers)
{
    for (std::uint16_t n : numbers)
        raidGroup(b, n).Rlun(n).Status(3);
}

void slice(CMTBuilder& b, std::uint16_t number, std::uint16_t rlun, std::uint64_t start, std::uint64_t count,
           std::uint8_t luType = 1)
{
    b.slu(number).Status(0).LuType(luType).Rlun(rlun).StartRlba(start).SlbaCount(count);
}

// Array A: two disks; RAID5 group 1 (one slice), RAID6 group 2 (two slices,
// Mode bit 0x02), RAID5+0 group 3 (two member sets, no slices); group 0 free.
void buildArrayA(CMTBuilder& b, bool renumbered = false)
{
    b.maxCounts({.olu = 4, .slu = 8, .rlu = 4, .dlu = 4, .mlu = 4});
    b.disk(0x80000107, 0x0107).Status(0).Usage(2).WholeBlockCount(1000000).VenderId("VNDR").ProductId("PROD1")
        .SerialNo("SN001");
    b.disk(0x80000109, renumbered ? 0x0909 : 0x0109).Status(0).Usage(1).WholeBlockCount(4000000).VenderId("VNDR")
        .ProductId("PROD2").SerialNo("SN002");
    freeGroups(b, {0});
    raidGroup(b, 1).Rlun(1).Status(0x2000).RaidLevel(1).CurrentCMMID(0x11).RlbaCount(10000).StripeSize(128)
        .SluCount(1).Slun(0, 5).MemberDiskCount(1).Dlun(0, 0);
    slice(b, 5, 1, 0, 100);
    raidGroup(b, 2).Rlun(2).Status(0x2000).RaidLevel(3).Mode(0x02).RlbaCount(2048).StripeSize(256).SluCount(2)
        .Slun(0, 6).Slun(1, 7);
    slice(b, 6, 2, 0, 256);
    slice(b, 7, 2, 512, 256);
    raidGroup(b, 3).Rlun(3).Status(0x2000).RaidLevel(9).RlbaCount(6000).StripeSize(128).MemberDiskCount(2)
        .Dlun(0, 0).Dlun(1, 1);
    b.dlu(0).Dlun(0).Status(0).Rlun(1).MemberDiskNumber(0).BlockCount(10000).MemberDiskCount(4);
    b.dlu(1).Dlun(1).Status(0).Rlun(3).MemberDiskNumber(1).BlockCount(3000).MemberDiskCount(3);
    b.dlu(2).Dlun(2).Status(0).Rlun(3).MemberDiskNumber(0).BlockCount(3000).MemberDiskCount(3);
    b.dlu(3).Dlun(3).Status(3);
    // Group 3's slot 0 names DLU 0, which belongs to group 1: skipped. Slot 1
    // names DLU 1 (member set 1).
}

// Array B: one disk and one RAID1 group 0 without slices.
void buildArrayB(CMTBuilder& b)
{
    b.maxCounts({.olu = 4, .slu = 4, .rlu = 2, .dlu = 2, .mlu = 4});
    b.disk(0x80000201, 0x0201).Status(0).Usage(2).WholeBlockCount(500000).VenderId("VNDR").ProductId("PROD3")
        .SerialNo("SN003");
    // Usage 4: no user capacity, whole block count still shown.
    b.disk(0x80000202, 0x0202).Status(0).Usage(4).WholeBlockCount(700000).VenderId("VNDR").ProductId("PROD4")
        .SerialNo("SN004");
    // A slot whose disk is not present (status low byte 2).
    b.disk(0x80000203, 0x0203).Status(0x0102).Usage(2).WholeBlockCount(700000).VenderId("VNDR")
        .ProductId("PROD5").SerialNo("SN005");
    raidGroup(b, 0).Rlun(0).Status(0x2000).RaidLevel(4).RlbaCount(8192).StripeSize(128).CurrentCMMID(0x10);
    freeGroups(b, {1});
    b.dlu(0).Status(3);
    b.dlu(1).Status(3);
}

using Props = std::map<std::string, std::string>;

class ExtentProviders : public ::testing::Test {
protected:
    void SetUp() override
    {
        cimple::SMIS_CMTAccess::destroy();
        module = dlopen("libarrayprov.so", RTLD_NOW);
        ASSERT_NE(module, nullptr) << dlerror();
        auto entry = reinterpret_cast<cimple::Registration* (*)()>(dlsym(module, "cimple_module"));
        ASSERT_NE(entry, nullptr);
        head = entry();
    }
    void TearDown() override
    {
        cimple::SMIS_CMTAccess::destroy();
        if (module)
            dlclose(module);
    }

    // Installs the tables and the configuration; the cache loads at first use.
    void install(const std::vector<std::string>& order, bool renumbered = false)
    {
        CMTBuilder a, b;
        buildArrayA(a, renumbered);
        buildArrayB(b);
        a.installCmf(A);
        b.installCmf(B);
        std::vector<std::string> env;
        for (const std::string& ip : order)
            env.push_back("StorageIP=" + ip);
        dir.writeEnv(env);
    }

    std::unique_ptr<Pegasus_Adapter> adapter(const char* cls)
    {
        std::unique_ptr<Pegasus_Adapter> p(Pegasus_Adapter::create(head, (std::string(cls) + "_Provider").c_str()));
        EXPECT_NE(p, nullptr);
        return p;
    }

    // A model of the class with its four keys.
    template <class C>
    Instance_Ptr model(Pegasus_Adapter& ad, const char* system, const char* deviceId)
    {
        Instance_Ptr m(cimple::create(ad.meta_class(), true));
        C* c = static_cast<C*>(m.get());
        c->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
        c->SystemName.set(system);
        c->CreationClassName.set(ad.meta_class()->name);
        c->DeviceID.set(deviceId);
        return m;
    }

    template <class C>
    static std::vector<std::string> ids(const Instance_List& list)
    {
        std::vector<std::string> out;
        for (const Instance_Ptr& p : list) {
            const C* c = static_cast<const C*>(p.get());
            out.push_back(std::string(c->SystemName.value.c_str()) + "/" + c->DeviceID.value.c_str());
        }
        return out;
    }

    smis::test::TempInstallDir dir;
    void* module = nullptr;
    const cimple::Registration* head = nullptr;
};

template <class C>
const C* find(const Instance_List& list, const std::string& system, const std::string& id)
{
    for (const Instance_Ptr& p : list) {
        const C* c = static_cast<const C*>(p.get());
        if (system == c->SystemName.value.c_str() && id == c->DeviceID.value.c_str())
            return c;
    }
    return nullptr;
}

TEST_F(ExtentProviders, DiskExtentsOfBothArrays)
{
    install({A, B});
    auto ad = adapter("VELDARO_DiskExtent");
    Instance_List list;
    ASSERT_EQ(ad->enum_instances(list), 0);
    EXPECT_EQ(ids<cimple::VELDARO_DiskExtent>(list),
              (std::vector<std::string>{"10.0.0.1/DE0x0107", "10.0.0.1/DE0x0109", "10.0.0.2/DE0x0201",
                                        "10.0.0.2/DE0x0202"}));

    const auto* d = find<cimple::VELDARO_DiskExtent>(list, A, "DE0x0107");
    ASSERT_NE(d, nullptr);
    EXPECT_STREQ(d->Caption.value.c_str(), "Disk Extent");
    EXPECT_STREQ(d->ElementName.value.c_str(), "Disk Drive - DE0x01:Disk07");
    EXPECT_STREQ(d->Name.value.c_str(), "VNDR    +PROD1           +SN001");
    EXPECT_STREQ(d->SystemCreationClassName.value.c_str(), "VELDARO_StorageComputerSystem");
    EXPECT_STREQ(d->CreationClassName.value.c_str(), "VELDARO_DiskExtent");
    ASSERT_EQ(d->OperationalStatus.value.size(), 1u);
    EXPECT_EQ(d->OperationalStatus.value[0], 2);
    EXPECT_STREQ(d->Status.value.c_str(), "OK");
    EXPECT_EQ(d->HealthState.value, 5);
    EXPECT_EQ(d->NumberOfBlocks.value, 1000000u);  // usage bit 0x02: the whole disk
    EXPECT_EQ(d->ConsumableBlocks.value, 1000000u);
    EXPECT_EQ(d->BlockCount.value, 1000000u);
    EXPECT_EQ(d->BlockSize.value, 512u);
    EXPECT_TRUE(d->Primordial.value);
    EXPECT_EQ(d->Usage.value, 1);
    EXPECT_EQ(d->DataOrganization.value, 2);
    EXPECT_EQ(d->Access.value, 3);
    EXPECT_EQ(d->Description.null, 0) << "every property is present";
    EXPECT_EQ(d->InstallDate.null, 0);

    const auto* user = find<cimple::VELDARO_DiskExtent>(list, A, "DE0x0109");
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(user->NumberOfBlocks.value, 4000000u - 2097152u);
    EXPECT_EQ(user->BlockCount.value, 4000000u);
    EXPECT_EQ(user->Usage.value, 0);

    const auto* spare = find<cimple::VELDARO_DiskExtent>(list, B, "DE0x0202");
    ASSERT_NE(spare, nullptr);
    EXPECT_EQ(spare->NumberOfBlocks.value, 0u);
    EXPECT_EQ(spare->BlockCount.value, 700000u);
    EXPECT_EQ(spare->Usage.value, 3);

    for (const Instance_Ptr& p : list) {
        const auto* c = static_cast<const cimple::VELDARO_DiskExtent*>(p.get());
        Instance_Ptr m = model<cimple::VELDARO_DiskExtent>(*ad, c->SystemName.value.c_str(), c->DeviceID.value.c_str());
        Instance_Ptr got;
        ASSERT_EQ(ad->get_instance(m.get(), got), 0) << c->DeviceID.value.c_str();
        EXPECT_TRUE(cimple::key_eq(got.get(), p.get()));
        EXPECT_STREQ(static_cast<const cimple::VELDARO_DiskExtent*>(got.get())->Name.value.c_str(),
                     c->Name.value.c_str());
    }
}

TEST_F(ExtentProviders, RaidCompositeExtents)
{
    install({A, B});
    auto ad = adapter("VELDARO_RAIDCompositeExtent");
    Instance_List list;
    ASSERT_EQ(ad->enum_instances(list), 0);
    EXPECT_EQ(ids<cimple::VELDARO_RAIDCompositeExtent>(list),
              (std::vector<std::string>{"10.0.0.1/VD0001", "10.0.0.1/VD0002", "10.0.0.1/VD0003", "10.0.0.2/VD0000"}));

    const auto* r5 = find<cimple::VELDARO_RAIDCompositeExtent>(list, A, "VD0001");
    ASSERT_NE(r5, nullptr);
    EXPECT_STREQ(r5->Caption.value.c_str(), "RAID Group");
    EXPECT_STREQ(r5->ElementName.value.c_str(), "RAID Group0001(RAID5)");
    EXPECT_STREQ(r5->Name.value.c_str(), "VELDARO +RAID Group      +0001");
    EXPECT_STREQ(r5->Purpose.value.c_str(), "0001+01+0xfffe+0xfffe");
    EXPECT_EQ(r5->NumberOfBlocks.value, 10000u);
    EXPECT_EQ(r5->ConsumableBlocks.value, 10000u);
    EXPECT_EQ(r5->ExtentStripeLength.value, 4u);  // RAID5 over a member set of 4 disks
    EXPECT_EQ(r5->OperationalStatus.value[0], 2);
    EXPECT_EQ(r5->ExtentStatus.value[0], 0);
    EXPECT_EQ(r5->DataRedundancy.value, 1);
    EXPECT_EQ(r5->PackageRedundancy.value, 1);
    EXPECT_TRUE(r5->NoSinglePointOfFailure.value);
    EXPECT_TRUE(r5->IsBasedOnUnderlyingRedundancy.value);
    EXPECT_FALSE(r5->IsConcatenated.value);
    EXPECT_FALSE(r5->Primordial.value);

    const auto* r6 = find<cimple::VELDARO_RAIDCompositeExtent>(list, A, "VD0002");
    ASSERT_NE(r6, nullptr);
    EXPECT_STREQ(r6->ElementName.value.c_str(), "RAID Group0002(RAID6)");
    EXPECT_EQ(r6->NumberOfBlocks.value, 2048u);
    EXPECT_EQ(r6->ConsumableBlocks.value, 0u) << "Mode bit 0x02";
    EXPECT_EQ(r6->PackageRedundancy.value, 2);

    const auto* r50 = find<cimple::VELDARO_RAIDCompositeExtent>(list, A, "VD0003");
    ASSERT_NE(r50, nullptr);
    EXPECT_EQ(r50->ExtentStripeLength.value, 2u);
    const auto* r1 = find<cimple::VELDARO_RAIDCompositeExtent>(list, B, "VD0000");
    ASSERT_NE(r1, nullptr);
    EXPECT_STREQ(r1->Purpose.value.c_str(), "0000+00+0xfffe+0xfffe");
    EXPECT_STREQ(r1->ElementName.value.c_str(), "RAID Group0000(RAID1)");

    for (const Instance_Ptr& p : list) {
        const auto* c = static_cast<const cimple::VELDARO_RAIDCompositeExtent*>(p.get());
        Instance_Ptr m =
            model<cimple::VELDARO_RAIDCompositeExtent>(*ad, c->SystemName.value.c_str(), c->DeviceID.value.c_str());
        Instance_Ptr got;
        ASSERT_EQ(ad->get_instance(m.get(), got), 0) << c->DeviceID.value.c_str();
        EXPECT_TRUE(cimple::key_eq(got.get(), p.get()));
    }
    Instance_Ptr freeEntry = model<cimple::VELDARO_RAIDCompositeExtent>(*ad, A, "VD0000");
    Instance_Ptr got;
    EXPECT_EQ(ad->get_instance(freeEntry.get(), got), 60) << "free RAID group entry";
}

TEST_F(ExtentProviders, StripingCompositeExtents)
{
    install({A, B});
    auto ad = adapter("VELDARO_StripingCompositeExtent");
    Instance_List list;
    ASSERT_EQ(ad->enum_instances(list), 0);
    // Slot 0 of group 3 names a DLU of group 1: skipped without error.
    ASSERT_EQ(ids<cimple::VELDARO_StripingCompositeExtent>(list), (std::vector<std::string>{"10.0.0.1/STP0003_S01"}));
    const auto* s = static_cast<const cimple::VELDARO_StripingCompositeExtent*>(list[0].get());
    EXPECT_STREQ(s->Caption.value.c_str(), "Striping Composite Extent");
    EXPECT_STREQ(s->ElementName.value.c_str(), "RAID Group0003(RAID5+0)");
    EXPECT_STREQ(s->Name.value.c_str(), "VELDARO +RAID Group      +0003");
    EXPECT_EQ(s->NumberOfBlocks.value, 3000u);
    EXPECT_EQ(s->ConsumableBlocks.value, 3000u);
    EXPECT_EQ(s->ExtentStripeLength.value, 3u);
    EXPECT_EQ(s->RLUN.value, 3u);
    EXPECT_EQ(s->DLUN.value, 1u);
    EXPECT_EQ(s->DataRedundancy.value, 1);
    EXPECT_TRUE(s->NoSinglePointOfFailure.value);

    Instance_Ptr got;
    Instance_Ptr m = model<cimple::VELDARO_StripingCompositeExtent>(*ad, A, "STP0003_S01");
    ASSERT_EQ(ad->get_instance(m.get(), got), 0);
    EXPECT_EQ(static_cast<const cimple::VELDARO_StripingCompositeExtent*>(got.get())->DLUN.value, 1u);
    for (const char* key : {"STP0003_S00", "STP0003_S16", "STP0001_S00", "STP0009_S01", "STP3_S"}) {
        Instance_Ptr other = model<cimple::VELDARO_StripingCompositeExtent>(*ad, A, key);
        Instance_Ptr none;
        EXPECT_EQ(ad->get_instance(other.get(), none), 60) << key;
    }
}

TEST_F(ExtentProviders, FreeExtents)
{
    install({A, B});
    auto ad = adapter("VELDARO_FreeExtent");
    Instance_List list;
    ASSERT_EQ(ad->enum_instances(list), 0);
    EXPECT_EQ(ids<cimple::VELDARO_FreeExtent>(list),
              (std::vector<std::string>{"10.0.0.1/FE0001_F000", "10.0.0.1/FE0002_F000", "10.0.0.1/FE0002_F001",
                                        "10.0.0.1/FE0003_F000", "10.0.0.2/FE0000_F000"}));

    struct Range {
        const char* system;
        const char* id;
        std::uint64_t blocks;
        std::uint64_t byteStart;
    };
    for (const Range& r : {Range{A, "FE0001_F000", 9872, 65536},  // slice [0,127] after rounding to the stripe
                           Range{A, "FE0002_F000", 256, 256 * 512}, Range{A, "FE0002_F001", 1280, 768 * 512},
                           Range{A, "FE0003_F000", 6000, 0}, Range{B, "FE0000_F000", 8192, 0}}) {
        const auto* f = find<cimple::VELDARO_FreeExtent>(list, r.system, r.id);
        ASSERT_NE(f, nullptr) << r.id;
        EXPECT_EQ(f->NumberOfBlocks.value, r.blocks) << r.id;
        EXPECT_EQ(f->ConsumableBlocks.value, r.blocks) << r.id;
        EXPECT_EQ(f->StartingAddress.value, r.byteStart) << r.id;
        Instance_Ptr m = model<cimple::VELDARO_FreeExtent>(*ad, r.system, r.id);
        Instance_Ptr got;
        ASSERT_EQ(ad->get_instance(m.get(), got), 0) << r.id;
        EXPECT_EQ(static_cast<const cimple::VELDARO_FreeExtent*>(got.get())->StartingAddress.value, r.byteStart);
    }
    const auto* f = find<cimple::VELDARO_FreeExtent>(list, A, "FE0001_F000");
    EXPECT_STREQ(f->Caption.value.c_str(), "Free Extent");
    EXPECT_STREQ(f->ElementName.value.c_str(), "RAID Group0001(RAID5)");
    EXPECT_STREQ(f->Name.value.c_str(), "VELDARO +RAID Group      +0001");
    EXPECT_STREQ(f->Purpose.value.c_str(), "0001+01+0xfffe+0xfffe");
    EXPECT_EQ(f->OperationalStatus.value[0], 2);
    EXPECT_EQ(f->ExtentStatus.value[0], 0);
    EXPECT_EQ(f->BlockSize.value, 512u);
    EXPECT_FALSE(f->Primordial.value);
    EXPECT_FALSE(f->SequentialAccess.value);

    Instance_Ptr beyond = model<cimple::VELDARO_FreeExtent>(*ad, A, "FE0002_F009");
    Instance_Ptr got;
    EXPECT_EQ(ad->get_instance(beyond.get(), got), 60);
}

TEST_F(ExtentProviders, ArrayWithoutValidTableIsSkipped)
{
    install({NO_TABLE, A, B});
    auto ad = adapter("VELDARO_RAIDCompositeExtent");
    Instance_List list;
    ASSERT_EQ(ad->enum_instances(list), 0);
    EXPECT_EQ(list.size(), 4u);
    Instance_Ptr m = model<cimple::VELDARO_RAIDCompositeExtent>(*ad, NO_TABLE, "VD0001");
    Instance_Ptr got;
    EXPECT_EQ(ad->get_instance(m.get(), got), 60);
}

TEST_F(ExtentProviders, DiskWhoseNumberDiffersFromItsItemIdKeepsItsStatusAndCapacity)
{
    // Disk 0x80000109 carries number 0x0909: its status and user capacity
    // come from its own row, not from a disk numbered 0x0109 (there is none).
    install({A, B}, /*renumbered=*/true);
    auto ad = adapter("VELDARO_DiskExtent");
    Instance_List list;
    ASSERT_EQ(ad->enum_instances(list), 0);
    EXPECT_EQ(ids<cimple::VELDARO_DiskExtent>(list),
              (std::vector<std::string>{"10.0.0.1/DE0x0107", "10.0.0.1/DE0x0909", "10.0.0.2/DE0x0201",
                                        "10.0.0.2/DE0x0202"}));
    const auto* user = find<cimple::VELDARO_DiskExtent>(list, A, "DE0x0909");
    ASSERT_NE(user, nullptr);
    ASSERT_EQ(user->OperationalStatus.value.size(), 1u);
    EXPECT_EQ(user->OperationalStatus.value[0], 2);
    EXPECT_EQ(user->NumberOfBlocks.value, 4000000u - 2097152u);

    Instance_Ptr m = model<cimple::VELDARO_DiskExtent>(*ad, A, "DE0x0909");
    Instance_Ptr got;
    EXPECT_EQ(ad->get_instance(m.get(), got), 0);
}

TEST_F(ExtentProviders, KeysOfOtherOrUnknownArraysAreNotFound)
{
    install({A, B});
    auto ad = adapter("VELDARO_DiskExtent");
    Instance_Ptr got;
    // A's disk asked of B: the built instance (or none) does not match.
    Instance_Ptr other = model<cimple::VELDARO_DiskExtent>(*ad, B, "DE0x0107");
    EXPECT_EQ(ad->get_instance(other.get(), got), 60);
    Instance_Ptr absent = model<cimple::VELDARO_DiskExtent>(*ad, B, "DE0x0203");
    EXPECT_EQ(ad->get_instance(absent.get(), got), 60) << "slot without a disk";
    // An address that is not configured opens nothing.
    for (const char* system : {"10.0.0.77", "", "../10.0.0.1", "10.0.0.1 "}) {
        Instance_Ptr unknown = model<cimple::VELDARO_DiskExtent>(*ad, system, "DE0x0107");
        int status = -1;
        EXPECT_TRUE(smis::test::answersWithoutView({A, B}, [&] { status = ad->get_instance(unknown.get(), got); })) << system;
        EXPECT_EQ(status, 60) << system;
    }
    // Malformed keys.
    for (const char* key : {"", "DE0x", "XX0x0107", "DE0107"}) {
        Instance_Ptr bad = model<cimple::VELDARO_DiskExtent>(*ad, A, key);
        EXPECT_EQ(ad->get_instance(bad.get(), got), 60) << key;
    }
    Instance_Ptr wrongClass = model<cimple::VELDARO_DiskExtent>(*ad, A, "DE0x0107");
    static_cast<cimple::VELDARO_DiskExtent*>(wrongClass.get())->CreationClassName.set("VELDARO_FreeExtent");
    EXPECT_EQ(ad->get_instance(wrongClass.get(), got), 60);
}

TEST_F(ExtentProviders, NoArrayConfigured)
{
    install({});
    for (const char* cls : {"VELDARO_DiskExtent", "VELDARO_FreeExtent", "VELDARO_RAIDCompositeExtent",
                            "VELDARO_StripingCompositeExtent"}) {
        auto ad = adapter(cls);
        Instance_List list;
        EXPECT_EQ(ad->enum_instances(list), 0) << cls;
        EXPECT_TRUE(list.empty()) << cls;
    }
}

}  // namespace
