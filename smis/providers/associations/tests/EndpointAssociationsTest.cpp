// Ports and the endpoints they implement, the endpoint stack of iSCSI
// ports, and the storage system with its redundancy set, its controller
// systems and its connectivity collections.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AssociationCalls.h"
#include "CIM_BindsTo.h"
#include "CIM_BindsTo_Provider.h"
#include "CIM_ComponentCS.h"
#include "CIM_ComponentCS_Provider.h"
#include "CIM_ConcreteIdentity.h"
#include "CIM_ConcreteIdentity_Provider.h"
#include "CIM_DeviceSAPImplementation.h"
#include "CIM_DeviceSAPImplementation_Provider.h"
#include "CIM_HostedCollection.h"
#include "CIM_HostedCollection_Provider.h"
#include "CMTBuilder.h"
#include "OneArrayFixture.h"

using assoc_test::Held_List;
using smis::test::CMTBuilder;

namespace {

constexpr std::uint16_t PORT_OK = 0xE001;

// Two controller modules; an FC adapter (module 0x10) with one port and an
// iSCSI adapter (module 0x11) with two ports.
void buildArray(CMTBuilder& b)
{
    b.maxCounts({});
    b.sys().ModelType(145).ProductID("PROD").SerialNumber("SER").FriendlyName("Friend");
    b.cm(0x01001000).Status(0xE001).ModuleId(0x10).PairCMCPUMID(0x11).LANRole(1);
    b.cm(0x01001100).Status(0xE001).ModuleId(0x11).PairCMCPUMID(0x10).LANRole(3);
    b.cmDetail(0x10).PartsNo("P").SerialNo("S0").HardRevision("R");
    b.cmDetail(0x11).PartsNo("P").SerialNo("S1").HardRevision("R");
    b.ca(0x10000100).Status(1).ModuleId(0x10).Type(0x0600).RealType(0x0600);
    auto fc = b.caDetail(0x10000100);
    CMTBuilder::caPort(fc, 0).Status(PORT_OK).PortNo(0).Wwn({0x50, 0, 0, 0xE0, 0xD0, 0, 0, 0x01});
    b.ca(0x10000200).Status(1).ModuleId(0x11).Type(0x2100).RealType(0x2100);
    auto iscsi = b.caDetail(0x10000200);
    for (std::uint8_t p = 0; p < 2; ++p)
        CMTBuilder::caPort(iscsi, p).Status(PORT_OK).PortNo(p).IPAddress({192, 168, 0, std::uint8_t(10 + p)})
            .iSCSISubnetMask({255, 255, 255, 0}).MacAddress({0, 0x17, 0x42, 0, 0, p}).TCPPortNo(3260);
}

std::string keyOf(const cimple::Instance* i)
{
    for (const char* key : {"DeviceID", "Name", "InstanceID"}) {
        const std::string value = assoc_test::text(i, key);
        if (!value.empty())
            return value;
    }
    return "";
}

std::vector<std::string> pairs(const Held_List& list, const char* first, const char* second)
{
    std::vector<std::string> out;
    for (const auto& a : list)
        out.push_back(keyOf(assoc_test::end(a.get(), first)) + ">" + keyOf(assoc_test::end(a.get(), second)));
    return out;
}

class EndpointAssociations : public smis::test::One_Array_Fixture {
protected:
    void SetUp() override
    {
        One_Array_Fixture::SetUp();
        CMTBuilder a;
        buildArray(a);
        install(a);
        setDeviceStatus(0x50);
    }
};

TEST_F(EndpointAssociations, PortsImplementTheirEndpoints)
{
    cimple::CIM_DeviceSAPImplementation_Provider provider;
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_DeviceSAPImplementation>(provider, list), 0);
    EXPECT_EQ(pairs(list, "Antecedent", "Dependent"), (std::vector<std::string>{
                                                          "FCP_CM00CA01P00>500000E0D0000001",
                                                          "iSCSIP_CM01CA01P00>IP_CM01CA01P00",
                                                          "iSCSIP_CM01CA01P00>,t,0x0023",
                                                          "iSCSIP_CM01CA01P01>IP_CM01CA01P01",
                                                          "iSCSIP_CM01CA01P01>,t,0x0024",
                                                      }));
}

TEST_F(EndpointAssociations, TcpEndpointsBindIpBelowAndIscsiAbove)
{
    cimple::CIM_BindsTo_Provider provider;
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_BindsTo>(provider, list), 0);
    EXPECT_EQ(pairs(list, "Antecedent", "Dependent"),
              (std::vector<std::string>{"IP_CM01CA01P00>TCP_CM01CA01P00", "TCP_CM01CA01P00>,t,0x0023",
                                        "IP_CM01CA01P01>TCP_CM01CA01P01", "TCP_CM01CA01P01>,t,0x0024"}));
}

TEST_F(EndpointAssociations, TheSystemIsItsRedundancySet)
{
    cimple::CIM_ConcreteIdentity_Provider provider;
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_ConcreteIdentity>(provider, list), 0);
    EXPECT_EQ(pairs(list, "SystemElement", "SameElement"), (std::vector<std::string>{"10.0.0.5>VELDARO:RS_10.0.0.5"}));
}

TEST_F(EndpointAssociations, TheSystemHoldsItsControllersAndCollections)
{
    cimple::CIM_ComponentCS_Provider components;
    cimple::CIM_HostedCollection_Provider collections;
    Held_List systems, hosted;
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_ComponentCS>(components, systems), 0);
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_HostedCollection>(collections, hosted), 0);
    EXPECT_EQ(pairs(systems, "GroupComponent", "PartComponent"),
              (std::vector<std::string>{"10.0.0.5>10.0.0.5_CM00", "10.0.0.5>10.0.0.5_CM01"}));
    EXPECT_TRUE(hosted.empty()) << "an array without remote-copy paths has no connectivity collections";
}

}  // namespace
