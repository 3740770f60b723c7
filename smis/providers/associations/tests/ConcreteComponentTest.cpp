// Pools and the extents that make them up, on the pool providers' test
// array: enumeration of every kind of pair, associators from pools and
// extents.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AssociationCalls.h"
#include "AssociationTables.h"
#include "CIM_ConcreteComponent.h"
#include "CIM_ConcreteComponent_Provider.h"
#include "PoolFixture.h"
#include "VELDARO_DiskDrive.h"
#include "VELDARO_DiskExtent.h"
#include "VELDARO_LayerixExtent.h"
#include "VELDARO_LayerixPool.h"
#include "VELDARO_LayerixSubExtent.h"
#include "VELDARO_LayerixSubPool.h"
#include "VELDARO_PrimordialStoragePool.h"
#include "VELDARO_RAIDCompositeExtent.h"
#include "VELDARO_SDPVExtent.h"
#include "VELDARO_SDPVPool.h"
#include "VELDARO_ThinProvisioningExtent.h"
#include "VELDARO_FreeExtent.h"
#include "VELDARO_RAIDStoragePool.h"
#include "VELDARO_ThinProvisioningPool.h"

using assoc_test::Held;
using assoc_test::Held_List;
using cimple::CIM_ConcreteComponent;
using smis::test::CMTBuilder;

namespace {

constexpr const char* A = pool_test::A;

std::string keyOf(const cimple::Instance* i)
{
    const std::string id = assoc_test::text(i, "InstanceID");
    return id.empty() ? assoc_test::text(i, "DeviceID") : id;
}

std::vector<std::string> pairs(const Held_List& list)
{
    std::vector<std::string> out;
    for (const auto& i : list)
        out.push_back(keyOf(assoc_test::end(i.get(), "GroupComponent")) + ">" +
                      keyOf(assoc_test::end(i.get(), "PartComponent")));
    return out;
}

std::vector<std::string> keys(const Held_List& list)
{
    std::vector<std::string> out;
    for (const auto& i : list)
        out.push_back(keyOf(i.get()));
    return out;
}

template <class C>
Held pool(const std::string& id)
{
    C* c = C::create();
    c->InstanceID.set(id.c_str());
    return Held(c);
}

class ConcreteComponent : public ::testing::Test {
protected:
    void SetUp() override { cimple::SMIS_CMTAccess::destroy(); }
    void TearDown() override { cimple::SMIS_CMTAccess::destroy(); }

    void install()
    {
        CMTBuilder b;
        pool_test::buildArrayA(b);
        b.installCmf(A);
        dir.writeEnv({std::string("StorageIP=") + A});
    }

    smis::test::TempInstallDir dir;
    cimple::CIM_ConcreteComponent_Provider provider;
};

TEST_F(ConcreteComponent, EnumerationRelatesEveryPoolToItsExtents)
{
    install();
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<CIM_ConcreteComponent>(provider, list), 0);
    const std::string at = std::string("_") + A;
    // Row order: primordial disks, RAID composites, RAID free extents, SDPV,
    // snapshot data, thin extents, thin free extents, tiering, sub-tiering.
    // Group 4 is full (no free extent), thin pool 3 has no member disks,
    // SDPV entry 11 has no volume and entry 12 is free.
    EXPECT_EQ(pairs(list), (std::vector<std::string>{
                               "VELDARO:PSP" + at + ">DE0x0101",    "VELDARO:PSP" + at + ">DE0x0102",
                               "VELDARO:RSP0001" + at + ">VD0001",  "VELDARO:RSP0002" + at + ">VD0002",
                               "VELDARO:RSP0003" + at + ">VD0003",  "VELDARO:RSP0004" + at + ">VD0004",
                               "VELDARO:RSP0005" + at + ">VD0005",  "VELDARO:RSP0001" + at + ">FE0001_F000",
                               "VELDARO:RSP0002" + at + ">FE0002_F000", "VELDARO:RSP0003" + at + ">FE0003_F000",
                               "VELDARO:RSP0005" + at + ">FE0005_F000", "VELDARO:SDPVP00010" + at + ">SDP00010",
                               "VELDARO:TPP0001" + at + ">TPP0001", "VELDARO:TPP0002" + at + ">TPP0002",
                               "VELDARO:LXP0000" + at + ">LXE0000", "VELDARO:LXP0001" + at + ">LXE0001",
                               "VELDARO:LXSP0004" + at + ">LXSE0004", "VELDARO:LXSP0005" + at + ">LXSE0005",
                               "VELDARO:LXSP0007" + at + ">LXSE0007"}));
}

TEST_F(ConcreteComponent, AssociatorsOfOnePoolOrExtent)
{
    install();
    using namespace cimple;
    using assoc_test::tables::extent;
    const std::string at = std::string("_") + A;
    struct Case {
        const char* what;
        Held source;
        std::vector<std::string> far;
    };
    Case cases[] = {
        {"primordial pool: every disk", pool<VELDARO_PrimordialStoragePool>("VELDARO:PSP" + at),
         {"DE0x0101", "DE0x0102"}},
        {"disk extent", extent<VELDARO_DiskExtent>(A, "DE0x0102"), {"VELDARO:PSP" + at}},
        {"RAID pool: composite and free extent", pool<VELDARO_RAIDStoragePool>("VELDARO:RSP0001" + at),
         {"VD0001", "FE0001_F000"}},
        {"full RAID group: composite only", pool<VELDARO_RAIDStoragePool>("VELDARO:RSP0004" + at), {"VD0004"}},
        {"RAID group no longer in the table", pool<VELDARO_RAIDStoragePool>("VELDARO:RSP0009" + at), {}},
        {"composite extent", extent<VELDARO_RAIDCompositeExtent>(A, "VD0002"), {"VELDARO:RSP0002" + at}},
        {"free extent", extent<VELDARO_FreeExtent>(A, "FE0003_F000"), {"VELDARO:RSP0003" + at}},
        {"free extent beyond the list", extent<VELDARO_FreeExtent>(A, "FE0003_F001"), {}},
        {"SDPV pool", pool<VELDARO_SDPVPool>("VELDARO:SDPVP00010" + at), {"SDP00010"}},
        {"SDPV extent", extent<VELDARO_SDPVExtent>(A, "SDP00010"), {"VELDARO:SDPVP00010" + at}},
        {"thin pool", pool<VELDARO_ThinProvisioningPool>("VELDARO:TPP0001" + at), {"TPP0001"}},
        {"thin pool without member disks", pool<VELDARO_ThinProvisioningPool>("VELDARO:TPP0003" + at), {}},
        {"thin extent", extent<VELDARO_ThinProvisioningExtent>(A, "TPP0002"), {"VELDARO:TPP0002" + at}},
        {"tiering pool", pool<VELDARO_LayerixPool>("VELDARO:LXP0001" + at), {"LXE0001"}},
        {"tiering extent", extent<VELDARO_LayerixExtent>(A, "LXE0000"), {"VELDARO:LXP0000" + at}},
        {"tiering sub-pool", pool<VELDARO_LayerixSubPool>("VELDARO:LXSP0005" + at), {"LXSE0005"}},
        {"tiering sub-extent", extent<VELDARO_LayerixSubExtent>(A, "LXSE0007"), {"VELDARO:LXSP0007" + at}},
        {"pool key without address", pool<VELDARO_RAIDStoragePool>("VELDARO:RSP0001"), {}},
        {"unrelated element", extent<VELDARO_DiskDrive>(A, "DD0x0101"), {}},
    };
    for (Case& c : cases) {
        for (bool names : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (names ? " (names)" : ""));
            Held_List out;
            EXPECT_EQ(assoc_test::associators(provider, c.source.get(), out, names), 0);
            EXPECT_EQ(keys(out), c.far);
        }
    }
}

}  // namespace
