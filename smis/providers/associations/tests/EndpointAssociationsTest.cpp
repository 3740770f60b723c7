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
#include "ControllerPortsArray.h"
#include "OneArrayFixture.h"

using assoc_test::Held_List;
using assoc_test::pairs;
using smis::test::CMTBuilder;

namespace {

// Two controller modules; an FC adapter (module 0x10) with one port and an
// iSCSI adapter (module 0x11) with two ports.
void buildArray(CMTBuilder& b)
{
    b.maxCounts({});
    smis::test::controllerPortsArray(b);
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
