// The system's devices, services and access points: the storage system with
// its volumes (a volume of several sub-volumes once), each controller system
// with the ports and endpoints of its slot, the server system's pairs in the
// interop name space.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AssociationCalls.h"
#include "AssociationTables.h"
#include "CIM_HostedAccessPoint.h"
#include "CIM_HostedAccessPoint_Provider.h"
#include "CIM_HostedService.h"
#include "CIM_HostedService_Provider.h"
#include "CIM_SystemDevice.h"
#include "CIM_SystemDevice_Provider.h"
#include "CMTBuilder.h"
#include "ControllerPortsArray.h"
#include "OneArrayFixture.h"
#include "VELDARO_ControllerComputerSystem.h"
#include "VELDARO_EthernetPort.h"
#include "VELDARO_FCPort.h"
#include "VELDARO_FreeExtent.h"
#include "VELDARO_MirroredExtent.h"
#include "VELDARO_StorageVolume.h"
#include "VELDARO_StripingCompositeExtent.h"

using assoc_test::Held_List;
using assoc_test::keyOf;
using assoc_test::pairs;
using smis::test::CMTBuilder;

namespace {

constexpr const char* ADDRESS = smis::test::One_Array_Fixture::ADDRESS;
const std::string BOX(40, 'B');

// The controller and port array with a box ID, two RAID5 groups and volume
// 4 made of two sub-volumes, one on each group, beside volume 3 of one
// sub-volume.
void buildArray(CMTBuilder& b)
{
    b.maxCounts({.olu = 8, .slu = 8, .rlu = 4, .dlu = 4});
    smis::test::controllerPortsArray(b);
    b.sys().BoxID(BOX.c_str());
    assoc_test::tables::group(b, 0, 1);
    assoc_test::tables::group(b, 1, 1);
    b.olu(3).Status(0).SluCount(1).Slun(0, 0).OlbaCount(64);
    b.slu(0).Status(0).LuType(1).Rlun(0).Olun(3).Mlun(0xFFFF).SlbaCount(64);
    b.olu(4).Status(0).SluCount(2).Slun(0, 1).Slun(1, 2).OlbaCount(128);
    b.slu(1).Status(0).LuType(1).Rlun(0).Olun(4).Mlun(0xFFFF).SlbaCount(64);
    b.slu(2).Status(0).LuType(1).Rlun(1).Olun(4).Mlun(0xFFFF).SlbaCount(64);
}

std::vector<std::string> keys(const Held_List& list)
{
    std::vector<std::string> out;
    for (const auto& i : list)
        out.push_back(keyOf(i.get()));
    return out;
}

assoc_test::Held controller(const char* name)
{
    auto* c = cimple::VELDARO_ControllerComputerSystem::create();
    c->CreationClassName.set("VELDARO_ControllerComputerSystem");
    c->Name.set(name);
    return assoc_test::Held(c);
}

class SystemNavigation : public smis::test::One_Array_Fixture {
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

TEST_F(SystemNavigation, AVolumeOverTwoGroupsIsOneDeviceOfTheSystem)
{
    cimple::CIM_SystemDevice_Provider provider;
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_SystemDevice>(provider, list), 0);
    std::vector<std::string> volumes;
    for (const std::string& p : pairs(list, "GroupComponent", "PartComponent"))
        if (p.find(">VOL") != std::string::npos)
            volumes.push_back(p);
    EXPECT_EQ(volumes, (std::vector<std::string>{"10.0.0.5>VOL00003", "10.0.0.5>VOL00004"}));

    // From the volume: the system, once; from the system: each volume once.
    Held_List system, devices;
    auto volume = assoc_test::tables::extent<cimple::VELDARO_StorageVolume>(ADDRESS, "VOL00004");
    ASSERT_EQ(assoc_test::associators(provider, volume.get(), system), 0);
    EXPECT_EQ(keys(system), (std::vector<std::string>{ADDRESS}));
    ASSERT_EQ(assoc_test::associators(provider, assoc_test::end(list.front().get(), "GroupComponent"), devices, true,
                                      "VELDARO_StorageVolume"),
              0);
    EXPECT_EQ(keys(devices), (std::vector<std::string>{"VOL00003", "VOL00004"}));
}

TEST_F(SystemNavigation, AControllerHoldsThePortsOfItsSlotOnly)
{
    cimple::CIM_SystemDevice_Provider provider;
    struct Case {
        const char* controller;
        std::vector<std::string> ports;
    } cases[] = {
        {"10.0.0.5_CM00", {"FCP_CM00CA01P00"}},
        {"10.0.0.5_CM01", {"iSCSIP_CM01CA01P00", "iSCSIP_CM01CA01P01"}},
        {"10.0.0.5_CM07", {}},
        {"10.0.0.5", {}},
    };
    for (const Case& c : cases) {
        Held_List got;
        auto source = controller(c.controller);
        EXPECT_EQ(assoc_test::associators(provider, source.get(), got), 0) << c.controller;
        EXPECT_EQ(keys(got), c.ports) << c.controller;
    }
}

template <class Port>
assoc_test::Held port(const char* id)
{
    auto* p = Port::create();
    p->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
    p->SystemName.set(ADDRESS);
    p->CreationClassName.set(Port::static_meta_class.name);
    p->DeviceID.set(id);
    return assoc_test::Held(p);
}

// A port answers the controller of its slot, whichever controller it is in
// the list.
TEST_F(SystemNavigation, APortAnswersTheControllerOfItsSlot)
{
    cimple::CIM_SystemDevice_Provider provider;
    const std::pair<assoc_test::Held, const char*> cases[] = {
        {port<cimple::VELDARO_FCPort>("FCP_CM00CA01P00"), "10.0.0.5_CM00"},
        {port<cimple::VELDARO_EthernetPort>("iSCSIP_CM01CA01P01"), "10.0.0.5_CM01"},
    };
    for (const auto& [source, expected] : cases) {
        Held_List got;
        EXPECT_EQ(assoc_test::associators(provider, source.get(), got), 0) << keyOf(source.get());
        EXPECT_EQ(keys(got), std::vector<std::string>{expected}) << keyOf(source.get());
    }
}

TEST_F(SystemNavigation, SourcesThatNameNoDeviceAnswerNothing)
{
    cimple::CIM_SystemDevice_Provider provider;
    std::vector<assoc_test::Held> sources;
    sources.push_back(assoc_test::tables::extent<cimple::VELDARO_StripingCompositeExtent>(ADDRESS, "STP0000_S16"));
    sources.push_back(assoc_test::tables::extent<cimple::VELDARO_FreeExtent>(ADDRESS, "FE0000_F005"));
    sources.push_back(assoc_test::tables::extent<cimple::VELDARO_StorageVolume>(ADDRESS, "VOL00009"));
    sources.push_back(assoc_test::tables::extent<cimple::VELDARO_StorageVolume>("10.9.9.9", "VOL00003"));
    for (const auto& s : sources) {
        Held_List got;
        EXPECT_EQ(assoc_test::associators(provider, s.get(), got, true), 0) << keyOf(s.get());
        EXPECT_TRUE(got.empty()) << keyOf(s.get());
    }
}

TEST_F(SystemNavigation, ServicesAndAccessPointsOfTheServerAndTheArray)
{
    cimple::CIM_HostedService_Provider services;
    cimple::CIM_HostedAccessPoint_Provider points;
    Held_List hosted, access;
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_HostedService>(services, hosted), 0);
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_HostedAccessPoint>(points, access), 0);
    const std::string server = "VELDARO:KESTRIS SMI-S Proxy Server";
    std::vector<std::string> expected = {
        // The server system's name is the host's; only its object manager
        // is compared.
        ">" + server + " interop|interop",
        "10.0.0.5>" + server + " root/kestris|root/kestris",
        "10.0.0.5>" + server + " root/kestris|root/kestris",
        "10.0.0.5>" + server + " root/kestris|root/kestris",
        "10.0.0.5>" + server + " root/kestris|root/kestris",
        "10.0.0.5>" + server + " root/kestris|root/kestris",
    };
    std::vector<std::string> got = pairs(hosted, "Antecedent", "Dependent", true);
    ASSERT_EQ(got.size(), expected.size());
    got[0] = got[0].substr(got[0].find('>'));
    EXPECT_EQ(got, expected);
    std::vector<std::string> classes;
    for (const auto& a : hosted)
        classes.push_back(assoc_test::end(a.get(), "Dependent")->meta_class->name);
    EXPECT_EQ(classes, (std::vector<std::string>{"VELDARO_ObjectManager", "VELDARO_PrivilegeManagementService",
                                                 "VELDARO_StorageHardwareIDManagementService",
                                                 "VELDARO_ControllerConfigurationService",
                                                 "VELDARO_StorageConfigurationService",
                                                 "VELDARO_ReplicationService"}));

    // The communication mechanism on the server; on the array the endpoints
    // of each controller's slot, SCSI, IP, TCP and iSCSI in that order.
    // The storage system with its remote access point, named by its box ID.
    std::vector<std::string> pointPairs = pairs(access, "Antecedent", "Dependent", true);
    ASSERT_FALSE(pointPairs.empty());
    EXPECT_EQ(std::string(assoc_test::end(access.front().get(), "Dependent")->meta_class->name),
              "VELDARO_CIMXMLCommunicationMechanism");
    EXPECT_NE(pointPairs.front().find(" interop|interop"), std::string::npos) << pointPairs.front();
    pointPairs.erase(pointPairs.begin());
    EXPECT_EQ(pointPairs, (std::vector<std::string>{
                              "10.0.0.5>" + BOX + " root/kestris|root/kestris",
                              "10.0.0.5_CM00>500000E0D0000001 root/kestris|root/kestris",
                              "10.0.0.5_CM01>IP_CM01CA01P00 root/kestris|root/kestris",
                              "10.0.0.5_CM01>IP_CM01CA01P01 root/kestris|root/kestris",
                              "10.0.0.5_CM01>TCP_CM01CA01P00 root/kestris|root/kestris",
                              "10.0.0.5_CM01>TCP_CM01CA01P01 root/kestris|root/kestris",
                              "10.0.0.5_CM01>,t,0x0023 root/kestris|root/kestris",
                              "10.0.0.5_CM01>,t,0x0024 root/kestris|root/kestris",
                          }));
}

// A RAID1+0 group whose member count says 1 while its member slots 0 and 1
// both name a mirrored set: every slot that names a set gives the system a
// mirrored extent, and each extent's own request finds the system.
class MirroredSlots : public smis::test::One_Array_Fixture {
protected:
    void SetUp() override
    {
        One_Array_Fixture::SetUp();
        CMTBuilder b;
        b.maxCounts({.olu = 8, .slu = 8, .rlu = 4, .dlu = 4});
        smis::test::controllerPortsArray(b);
        b.sys().BoxID(BOX.c_str());
        assoc_test::tables::group(b, 2, 12).MemberDiskCount(1).Dlun(0, 0).Dlun(1, 1);
        assoc_test::tables::dlu(b, 0, 2, 0, {0x30, 0x31});
        assoc_test::tables::dlu(b, 1, 2, 1, {0x32, 0x33});
        for (std::uint16_t d : {0x30, 0x31, 0x32, 0x33})
            assoc_test::tables::disk(b, d, d < 0x32 ? 0 : 1, 4096);
        install(b);
        setDeviceStatus(0x50);
    }
};

TEST_F(MirroredSlots, EverySlotThatNamesASetIsADeviceOfTheSystem)
{
    cimple::CIM_SystemDevice_Provider provider;
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_SystemDevice>(provider, list), 0);
    std::vector<std::string> mirrored;
    for (const std::string& p : pairs(list, "GroupComponent", "PartComponent"))
        if (p.find(">MRD") != std::string::npos)
            mirrored.push_back(p);
    EXPECT_EQ(mirrored, (std::vector<std::string>{"10.0.0.5>MRD0x0030_0x0031", "10.0.0.5>MRD0x0032_0x0033"}));
    for (const char* id : {"MRD0x0030_0x0031", "MRD0x0032_0x0033"}) {
        Held_List system;
        auto extent = assoc_test::tables::extent<cimple::VELDARO_MirroredExtent>(ADDRESS, id);
        ASSERT_EQ(assoc_test::associators(provider, extent.get(), system), 0) << id;
        EXPECT_EQ(keys(system), (std::vector<std::string>{ADDRESS})) << id;
    }
}

}  // namespace
