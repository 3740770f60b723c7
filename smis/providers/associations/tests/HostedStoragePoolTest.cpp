// The storage system of each array with every pool it hosts, on the pool
// providers' test arrays.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AssociationCalls.h"
#include "CIM_HostedStoragePool.h"
#include "CIM_HostedStoragePool_Provider.h"
#include "CIM_StorageExtent.h"
#include "PoolFixture.h"
#include "VELDARO_DiskDrive.h"
#include "VELDARO_RAIDStoragePool.h"
#include "VELDARO_StorageComputerSystem.h"
#include "VELDARO_ThinProvisioningPool.h"

using assoc_test::Held_List;
using cimple::CIM_HostedStoragePool;

namespace {

using namespace pool_test;

class HostedStoragePool : public PoolProviders {
protected:
    void SetUp() override
    {
        PoolProviders::SetUp();
        install({NO_TABLE, A});
        // The storage system reads the array's device status.
        const std::uint8_t device[16] = {0x50};
        ASSERT_EQ(SMIS_CMTAccess::getInstance()->SetExTableInfo(A, 1, nullptr, device, 16, 1, 0), 0);
    }

    template <class C>
    static assoc_test::Held keyed(const char* property, const char* value)
    {
        C* c = C::create();
        const cimple::Meta_Property* p = cimple::find_property(c->meta_class, property);
        reinterpret_cast<cimple::Property<cimple::String>*>(reinterpret_cast<char*>(c) + p->offset)->set(value);
        return assoc_test::Held(c);
    }

    static assoc_test::Held system(const char* name)
    {
        auto s = keyed<cimple::VELDARO_StorageComputerSystem>("Name", name);
        static_cast<cimple::VELDARO_StorageComputerSystem*>(s.get())->CreationClassName.set(
            "VELDARO_StorageComputerSystem");
        return s;
    }

    static std::vector<std::string> pools(const Held_List& list)
    {
        std::vector<std::string> out;
        for (const auto& i : list)
            out.push_back(assoc_test::text(i.get(), "InstanceID"));
        return out;
    }

    cimple::CIM_HostedStoragePool_Provider provider;
};

TEST_F(HostedStoragePool, EnumerationAndAssociatorsOfTheSystemListEveryPoolInRowOrder)
{
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<CIM_HostedStoragePool>(provider, list), 0);
    std::vector<std::string> parts;
    for (const auto& i : list) {
        EXPECT_EQ(assoc_test::text(assoc_test::end(i.get(), "GroupComponent"), "Name"), A);
        parts.push_back(assoc_test::text(assoc_test::end(i.get(), "PartComponent"), "InstanceID"));
    }
    EXPECT_EQ(parts, (std::vector<std::string>{
                         "VELDARO:PSP_10.0.0.1", "VELDARO:RSP0001_10.0.0.1", "VELDARO:RSP0002_10.0.0.1",
                         "VELDARO:RSP0003_10.0.0.1", "VELDARO:RSP0004_10.0.0.1", "VELDARO:RSP0005_10.0.0.1",
                         "VELDARO:SDPVP00010_10.0.0.1", "VELDARO:SDP01_10.0.0.1", "VELDARO:SDP02_10.0.0.1",
                         "VELDARO:TPP0001_10.0.0.1", "VELDARO:TPP0002_10.0.0.1", "VELDARO:LXP0000_10.0.0.1",
                         "VELDARO:LXP0001_10.0.0.1", "VELDARO:LXSP0004_10.0.0.1", "VELDARO:LXSP0005_10.0.0.1",
                         "VELDARO:LXSP0007_10.0.0.1"}))
        << "every kind of pool, in row order; the array without a table adds none";

    auto source = system(A);
    Held_List far;
    ASSERT_EQ(assoc_test::associators(provider, source.get(), far), 0);
    EXPECT_EQ(pools(far), parts);
    for (const auto& p : far)
        EXPECT_FALSE(static_cast<const cimple::VELDARO_RAIDStoragePool*>(p.get())->InstanceID.null);
}

TEST_F(HostedStoragePool, AssociatorNamesOfOnePoolGiveTheSystem)
{
    struct Case {
        assoc_test::Held source;
        std::vector<std::string> expected;
    };
    Case cases[] = {
        {keyed<cimple::VELDARO_RAIDStoragePool>("InstanceID", "VELDARO:RSP0001_10.0.0.1"), {A}},
        {keyed<cimple::VELDARO_ThinProvisioningPool>("InstanceID", "VELDARO:TPP0001_10.0.0.1"), {A}},
        // Group no longer in the table, key that does not parse, no "_".
        {keyed<cimple::VELDARO_RAIDStoragePool>("InstanceID", "VELDARO:RSP0042_10.0.0.1"), {}},
        {keyed<cimple::VELDARO_RAIDStoragePool>("InstanceID", "XX_10.0.0.1"), {}},
        {keyed<cimple::VELDARO_RAIDStoragePool>("InstanceID", "VELDARO:RSP0001"), {}},
        // A listed class this association does not relate.
        {keyed<cimple::VELDARO_DiskDrive>("DeviceID", "DD0x0101"), {}},
    };
    for (Case& c : cases) {
        Held_List got;
        EXPECT_EQ(assoc_test::associators(provider, c.source.get(), got, true), 0);
        std::vector<std::string> names;
        for (const auto& i : got)
            names.push_back(assoc_test::text(i.get(), "Name"));
        EXPECT_EQ(names, c.expected);
    }
    auto foreign = keyed<cimple::CIM_StorageExtent>("DeviceID", "TPP0001");
    Held_List got;
    EXPECT_EQ(assoc_test::associators(provider, foreign.get(), got), 171);
    EXPECT_EQ(assoc_test::associators(provider, foreign.get(), got, true), 111);
}

}  // namespace
