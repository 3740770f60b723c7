// Each pool with the extents it is made of and with the extents still free
// in it, on the pool providers' test arrays.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AssociationCalls.h"
#include "AssociationTables.h"
#include "CIM_AssociatedComponentExtent.h"
#include "CIM_AssociatedComponentExtent_Provider.h"
#include "CIM_AssociatedRemainingExtent.h"
#include "CIM_AssociatedRemainingExtent_Provider.h"
#include "PoolFixture.h"
#include "VELDARO_DiskExtent.h"
#include "VELDARO_RAIDCompositeExtent.h"
#include "VELDARO_RAIDStoragePool.h"
#include "VELDARO_ThinProvisioningPool.h"

using assoc_test::Held_List;

namespace {

using namespace pool_test;

// "pool > extent" of each association.
std::vector<std::string> pairs(const Held_List& list)
{
    std::vector<std::string> out;
    for (const auto& i : list)
        out.push_back(assoc_test::text(assoc_test::end(i.get(), "GroupComponent"), "InstanceID") + " > " +
                      assoc_test::text(assoc_test::end(i.get(), "PartComponent"), "DeviceID"));
    return out;
}

std::vector<std::string> keys(const Held_List& list)
{
    std::vector<std::string> out;
    for (const auto& i : list) {
        const std::string id = assoc_test::text(i.get(), "InstanceID");
        out.push_back(id.empty() ? assoc_test::text(i.get(), "DeviceID") : id);
    }
    return out;
}

template <class C>
assoc_test::Held keyed(const char* property, const char* value)
{
    C* c = C::create();
    const cimple::Meta_Property* p = cimple::find_property(c->meta_class, property);
    reinterpret_cast<cimple::Property<cimple::String>*>(reinterpret_cast<char*>(c) + p->offset)->set(value);
    return assoc_test::Held(c);
}

class PoolExtents : public PoolProviders {
protected:
    void SetUp() override
    {
        PoolProviders::SetUp();
        install({NO_TABLE, A});
    }
};

TEST_F(PoolExtents, ComponentExtentsOfEveryPool)
{
    cimple::CIM_AssociatedComponentExtent_Provider provider;
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_AssociatedComponentExtent>(provider, list), 0);
    EXPECT_EQ(pairs(list),
              (std::vector<std::string>{
                  "VELDARO:PSP_10.0.0.1 > DE0x0101", "VELDARO:PSP_10.0.0.1 > DE0x0102",
                  "VELDARO:RSP0001_10.0.0.1 > VD0001", "VELDARO:RSP0002_10.0.0.1 > VD0002",
                  "VELDARO:RSP0003_10.0.0.1 > VD0003", "VELDARO:RSP0004_10.0.0.1 > VD0004",
                  "VELDARO:RSP0005_10.0.0.1 > VD0005", "VELDARO:SDPVP00010_10.0.0.1 > SDP00010",
                  "VELDARO:SDP01_10.0.0.1 > SDCE01", "VELDARO:SDP02_10.0.0.1 > SDCE02",
                  "VELDARO:TPP0001_10.0.0.1 > TPP0001", "VELDARO:TPP0002_10.0.0.1 > TPP0002",
                  "VELDARO:LXP0000_10.0.0.1 > LXE0000", "VELDARO:LXP0001_10.0.0.1 > LXE0001",
                  "VELDARO:LXSP0004_10.0.0.1 > LXSE0004", "VELDARO:LXSP0005_10.0.0.1 > LXSE0005",
                  "VELDARO:LXSP0007_10.0.0.1 > LXSE0007",
              }))
        << "the primordial pool with every present disk, every other pool with its own extent";

    struct Case {
        assoc_test::Held source;
        std::vector<std::string> expected;
    } cases[] = {
        {keyed<cimple::VELDARO_RAIDStoragePool>("InstanceID", "VELDARO:RSP0001_10.0.0.1"), {"VD0001"}},
        {assoc_test::tables::extent<cimple::VELDARO_RAIDCompositeExtent>(A, "VD0001"), {"VELDARO:RSP0001_10.0.0.1"}},
        {assoc_test::tables::extent<cimple::VELDARO_DiskExtent>(A, "DE0x0101"), {"VELDARO:PSP_10.0.0.1"}},
        {keyed<cimple::VELDARO_ThinProvisioningPool>("InstanceID", "VELDARO:TPP0001_10.0.0.1"), {"TPP0001"}},
        {keyed<cimple::VELDARO_RAIDStoragePool>("InstanceID", "VELDARO:RSP0001"), {}},
    };
    for (Case& c : cases) {
        Held_List got;
        EXPECT_EQ(assoc_test::associators(provider, c.source.get(), got), 0);
        EXPECT_EQ(keys(got), c.expected);
    }
}

TEST_F(PoolExtents, RemainingExtentsOfRaidAndThinPools)
{
    cimple::CIM_AssociatedRemainingExtent_Provider provider;
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_AssociatedRemainingExtent>(provider, list), 0);
    EXPECT_EQ(pairs(list), (std::vector<std::string>{
                               "VELDARO:RSP0001_10.0.0.1 > FE0001_F000",
                               "VELDARO:RSP0002_10.0.0.1 > FE0002_F000",
                               "VELDARO:RSP0003_10.0.0.1 > FE0003_F000",
                               "VELDARO:RSP0005_10.0.0.1 > FE0005_F000",
                               "VELDARO:TPP0001_10.0.0.1 > TPFE0001_F000",
                           }))
        << "group 4 is full; thin pool 2 has no usage record";
}

}  // namespace
