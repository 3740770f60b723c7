// The tiering extents and sub-extents driven through the framework adapter,
// from tables with tiering pools (LXRP) and their sub-pools (TPP entries).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CMTBuilder.h"
#include "ProviderModule.h"
#include "TempInstallDir.h"
#include "VELDARO_LayerixExtent.h"
#include "VELDARO_LayerixSubExtent.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_ValueConv.h"

using cimple::CIM_CompositeExtent;
using cimple::Instance_List;
using cimple::Instance_Ptr;
using cimple::Pegasus_Adapter;

namespace {

constexpr const char* A = "10.0.0.1";
constexpr const char* B = "10.0.0.2";
constexpr const char* NO_TABLE = "10.0.0.9";

// Array A: tiering pool 26 made of sub-pools 3 (RAID5, 4 disks) and 4
// (RAID1+0, 6 disks); tiering pool 2 without sub-pools; entry 1 not valid.
// Thin pool 5 belongs to no tiering pool; sub-pool 6 has no member disks.
// RAID groups 0 and 1 (one slice each) make up sub-pools 3 and 4. Array B: no tiering pool.
void buildArrayA(smis::test::CMTBuilder& b)
{
    b.maxCounts({.olu = 2, .slu = 2, .rlu = 2, .dlu = 2, .mlu = 2});
    b.rlu(0).Rlun(0).Status(0).Mode(0x21).PoolNumber(3).SluCount(1).Slun(0, 0);
    b.rlu(1).Rlun(1).Status(0).Mode(0x21).PoolNumber(4).SluCount(1).Slun(0, 1);
    b.slu(0).Status(0).Rlun(0);
    b.slu(1).Status(0).Rlun(1);
    b.tpp(3).RaidLevel(1).MemDiskCnt(4).MaxPoolLbaCount(1000).LxrpNumber(26);
    b.tpp(4).RaidLevel(12).MemDiskCnt(6).MaxPoolLbaCount(3000).LxrpNumber(26);
    b.tpp(5).RaidLevel(1).MemDiskCnt(3).MaxPoolLbaCount(700).LxrpNumber(255);
    b.tpp(6).RaidLevel(3).MemDiskCnt(0).MaxPoolLbaCount(900).LxrpNumber(2);
    b.lxrp(1).ValidFlag(0).SubPoolCnt(1).SubPoolNumber(0, 5);
    b.lxrp(2).ValidFlag(1).SubPoolCnt(0);
    b.lxrp(26).ValidFlag(1).SubPoolCnt(2).SubPoolNumber(0, 3).SubPoolNumber(1, 4);
}

class LayerixExtents : public ::testing::Test {
protected:
    void install(const std::vector<std::string>& order)
    {
        smis::test::CMTBuilder a, b;
        buildArrayA(a);
        b.maxCounts({.olu = 2, .slu = 2, .rlu = 2, .dlu = 2, .mlu = 2});
        a.installCmf(A);
        b.installCmf(B);
        std::vector<std::string> env;
        for (const std::string& ip : order)
            env.push_back("StorageIP=" + ip);
        dir.writeEnv(env);
    }

    static Instance_Ptr model(Pegasus_Adapter& ad, const char* system, const char* deviceId,
                              const char* creationClass = nullptr)
    {
        Instance_Ptr m(cimple::create(ad.meta_class(), true));
        auto* c = static_cast<CIM_CompositeExtent*>(m.get());
        c->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
        c->SystemName.set(system);
        c->CreationClassName.set(creationClass ? creationClass : ad.meta_class()->name);
        c->DeviceID.set(deviceId);
        return m;
    }

    static std::vector<std::string> ids(const Instance_List& list)
    {
        std::vector<std::string> out;
        for (const Instance_Ptr& p : list) {
            const auto* c = static_cast<const CIM_CompositeExtent*>(p.get());
            out.push_back(std::string(c->SystemName.value.c_str()) + "/" + c->DeviceID.value.c_str());
        }
        return out;
    }

    smis::test::TempInstallDir dir;
    smis::test::ProviderModule module;
};

const CIM_CompositeExtent* find(const Instance_List& list, const std::string& deviceId)
{
    for (const Instance_Ptr& p : list) {
        const auto* c = static_cast<const CIM_CompositeExtent*>(p.get());
        if (deviceId == c->DeviceID.value.c_str())
            return c;
    }
    return nullptr;
}

// The values that depend on the extent's RAID level, size and stripe length.
struct Level_Row {
    const char* deviceId;
    const char* elementName;
    const char* name;
    std::uint64_t blocks;
    int data, package;
    bool noSinglePoint, underlying;
    std::uint64_t stripe;
};

void expectLevel(const CIM_CompositeExtent* e, const Level_Row& row)
{
    SCOPED_TRACE(row.deviceId);
    ASSERT_NE(e, nullptr);
    EXPECT_STREQ(e->ElementName.value.c_str(), row.elementName);
    EXPECT_STREQ(e->Name.value.c_str(), row.name);
    EXPECT_EQ(e->NumberOfBlocks.value, row.blocks);
    EXPECT_EQ(e->ConsumableBlocks.value, row.blocks);
    EXPECT_EQ(e->DataRedundancy.value, row.data);
    EXPECT_EQ(e->PackageRedundancy.value, row.package);
    EXPECT_EQ(e->NoSinglePointOfFailure.value, row.noSinglePoint);
    EXPECT_EQ(e->IsBasedOnUnderlyingRedundancy.value, row.underlying);
    EXPECT_EQ(e->ExtentStripeLength.value, row.stripe);
    EXPECT_EQ(e->BlockSize.value, 512u);
    EXPECT_EQ(e->DataOrganization.value, 2);
    EXPECT_EQ(e->Access.value, 3);
    EXPECT_FALSE(e->Primordial.value);
    EXPECT_FALSE(e->IsConcatenated.value);
    EXPECT_FALSE(e->SequentialAccess.value);
    EXPECT_EQ(e->ExtentInterleaveDepth.null, 0) << "properties no filler sets are present";
}

TEST_F(LayerixExtents, TieringExtentPerValidPool)
{
    install({A, NO_TABLE, B});
    auto ad = module.adapter("VELDARO_LayerixExtent");
    Instance_List list;
    ASSERT_EQ(ad->enum_instances(list), 0);
    EXPECT_EQ(ids(list), (std::vector<std::string>{"10.0.0.1/LXE0002", "10.0.0.1/LXE0026"}));

    // Pool 26 takes the most redundant level of its sub-pools: RAID1+0 with
    // half its six member disks as stripe length; its size is both sub-pools'.
    expectLevel(find(list, "LXE0026"),
                {"LXE0026", "Layerix Pool0026", "VELDARO +LXE             +001A", 4000, 2, 1, true, true, 3});
    // Without sub-pools: the unknown level, no size, no stripe.
    expectLevel(find(list, "LXE0002"),
                {"LXE0002", "Layerix Pool0002", "VELDARO +LXE             +0002", 0, 1, 0, true, true, 0});

    const CIM_CompositeExtent* e = find(list, "LXE0026");
    ASSERT_NE(e, nullptr);
    EXPECT_STREQ(e->Caption.value.c_str(), "Layerix Extent");
    EXPECT_STREQ(e->CreationClassName.value.c_str(), "VELDARO_LayerixExtent");
    EXPECT_STREQ(e->SystemCreationClassName.value.c_str(), "VELDARO_StorageComputerSystem");
    int first = 0, second = 0;
    {
        cimple::VELDARO_RefTable table(A);
        ASSERT_EQ(table.getLxrpSMISStatus(26, &first, &second), 0);
    }
    ASSERT_GE(first, 0) << "a known status";
    ASSERT_EQ(e->OperationalStatus.value.size(), 1u);
    EXPECT_EQ(e->OperationalStatus.value[0], first);
    ASSERT_EQ(e->ExtentStatus.value.size(), 1u);
    EXPECT_EQ(e->ExtentStatus.value[0], second);
    EXPECT_EQ(e->Status.value, cimple::VELDARO_ValueConv::convOperationalStatusToStatus(first));
}

TEST_F(LayerixExtents, SubExtentPerTieringSubPool)
{
    install({A, B});
    auto ad = module.adapter("VELDARO_LayerixSubExtent");
    Instance_List list;
    ASSERT_EQ(ad->enum_instances(list), 0);
    EXPECT_EQ(ids(list), (std::vector<std::string>{"10.0.0.1/LXSE0003", "10.0.0.1/LXSE0004"}))
        << "no extent for the plain thin pool 5 or sub-pool 6 without member disks";
    expectLevel(find(list, "LXSE0003"), {"LXSE0003", "Layerix Sub Pool0003(RAID5)", "VELDARO +LXSE            +0003",
                                         1000, 1, 1, true, true, 4});
    expectLevel(find(list, "LXSE0004"), {"LXSE0004", "Layerix Sub Pool0004(RAID1+0)", "VELDARO +LXSE            +0004",
                                         3000, 2, 1, true, true, 3});
    const CIM_CompositeExtent* e = find(list, "LXSE0004");
    ASSERT_NE(e, nullptr);
    EXPECT_STREQ(e->Description.value.c_str(), "Layerix Sub Extent");
}

TEST_F(LayerixExtents, GetInstanceByKeys)
{
    install({A, NO_TABLE});
    struct Row {
        const char* cls;
        const char* system;
        const char* deviceId;
        const char* creationClass;
        int status;
    };
    const Row rows[] = {
        {"VELDARO_LayerixExtent", A, "LXE0026", nullptr, 0},
        {"VELDARO_LayerixExtent", A, "LXE0002", nullptr, 0},
        {"VELDARO_LayerixExtent", "10.0.0.7", "LXE0026", nullptr, 60},
        {"VELDARO_LayerixExtent", NO_TABLE, "LXE0026", nullptr, 60},
        {"VELDARO_LayerixExtent", A, "LXE0001", nullptr, 60},  // entry not valid
        {"VELDARO_LayerixExtent", A, "LXE0030", nullptr, 60},
        {"VELDARO_LayerixExtent", A, "LXSE0026", nullptr, 60},
        {"VELDARO_LayerixExtent", A, "", nullptr, 60},
        {"VELDARO_LayerixExtent", A, "LXE0026", "VELDARO_LayerixSubExtent", 60},
        {"VELDARO_LayerixSubExtent", A, "LXSE0003", nullptr, 0},
        {"VELDARO_LayerixSubExtent", A, "LXSE0005", nullptr, 60},  // plain thin pool
        {"VELDARO_LayerixSubExtent", A, "LXSE0006", nullptr, 60},  // no member disks
        {"VELDARO_LayerixSubExtent", A, "LXE0003", nullptr, 60},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.cls) + " " + row.system + "/" + row.deviceId);
        auto ad = module.adapter(row.cls);
        Instance_Ptr m = model(*ad, row.system, row.deviceId, row.creationClass);
        Instance_Ptr got;
        ASSERT_EQ(ad->get_instance(m.get(), got), row.status);
        if (row.status == 0) {
            EXPECT_TRUE(cimple::key_eq(got.get(), m.get()));
        }
    }
}

}  // namespace
