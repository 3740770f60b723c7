// The array-wide systems and services: storage computer systems, controller
// computer systems, the privilege management service and the masking
// capabilities, built from the tables of two arrays and the status bytes of
// each.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ElementProviderFixture.h"
#include "LogCapture.h"
#include "VELDARO_ControllerComputerSystem.h"
#include "VELDARO_PrivilegeManagementService.h"
#include "VELDARO_ProtocolControllerMaskingCapabilities.h"
#include "VELDARO_StorageComputerSystem.h"

using cimple::Instance_List;
using cimple::Instance_Ptr;
using smis::test::as;
using smis::test::CMTBuilder;
using smis::test::texts;
using smis::test::values;

namespace {

constexpr const char* A = "10.0.0.1";
constexpr const char* B = "10.0.0.2";
constexpr const char* NO_TABLE = "10.0.0.9";

// Array A: two controller modules that pair each other; CM00 holds the LAN
// master role, CM01 neither role. A factor code marks a module as predicted
// to fail.
void buildA(CMTBuilder& b)
{
    b.maxCounts({});
    b.sys().ProductID("PRODA").SerialNumber("SER000A#####").FriendlyName("Friendly Array A")
        .NodeWWN({0x50, 0x00, 0x0E, 0x10, 0x00, 0x00, 0x00, 0x0A});
    b.management().ManagerName(std::string(64, 'M'));
    b.mgmtInfo().TableUpdateCount(7);
    b.lan().MasterIP({192, 0, 2, 10});
    b.cm(0x01001000).Status(0xE001).Factor(0x12).ModuleId(0x10).PairCMCPUMID(0x11).LANRole(1);
    b.cm(0x01001100).Status(0xE401).Factor(0x34).ModuleId(0x11).PairCMCPUMID(0x10).LANRole(3);
    b.cmDetail(0x10).SerialNo("CMSER0").HardRevision("AA");
    b.cmDetail(0x11).SerialNo("CMSER1").HardRevision("AB");
}

// Array B: one controller module whose pair is absent.
void buildB(CMTBuilder& b)
{
    b.maxCounts({});
    b.sys().ProductID("PRODB").SerialNumber("SER000B").FriendlyName("Friend B");
    b.management().ManagerName("Admin B");
    b.cm(0x01001300).Status(0xE001).Factor(0).ModuleId(0x13).PairCMCPUMID(0x15).LANRole(2);
    b.cmDetail(0x13).SerialNo("CMSER3").HardRevision("AC");
}

class SystemProviders : public smis::test::ElementProviderFixture {
protected:
    void installAB(bool statusOfA = true)
    {
        buildA(a);
        buildB(b);
        install({{A, &a}, {B, &b}}, {A, NO_TABLE, B});
        if (statusOfA)
            deviceStatus(A, 0x50);  // 2 and 5
        deviceStatus(B, 0x70);      // 6 and 6
    }
    CMTBuilder a, b;
};

TEST_F(SystemProviders, StorageComputerSystemPerArray)
{
    installAB();
    int status = -1;
    Instance_List list = enumerate("VELDARO_StorageComputerSystem", &status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(list.size(), 2u) << "the array without a table is skipped";

    const auto* s = as<cimple::VELDARO_StorageComputerSystem>(list[0]);
    EXPECT_STREQ(s->Name.value.c_str(), A);
    EXPECT_STREQ(s->CreationClassName.value.c_str(), "VELDARO_StorageComputerSystem");
    EXPECT_STREQ(s->Caption.value.c_str(), "Storage Computer System");
    EXPECT_STREQ(s->ElementName.value.c_str(), "Friendly Array A");
    EXPECT_STREQ(s->NameFormat.value.c_str(), "IP");
    EXPECT_EQ(values(s->OperationalStatus), (std::vector<cimple::uint16>{2, 5}));
    EXPECT_STREQ(s->Status.value.c_str(), "OK");
    EXPECT_EQ(s->HealthState.value, 5);
    EXPECT_EQ(texts(s->OtherIdentifyingInfo),
              (std::vector<std::string>{"VELDARO_PRODA_SER000A", "50000E100000000A"}));
    EXPECT_EQ(texts(s->IdentifyingDescriptions), (std::vector<std::string>{"SCSI Vendor Specific Name", "Node WWN"}));
    EXPECT_EQ(values(s->Dedicated), (std::vector<cimple::uint16>{3, 15}));
    EXPECT_EQ(s->Contact.value.c_str(), std::string(64, 'M'));
    EXPECT_EQ(s->ConfigurationID.value, 7u);
    EXPECT_EQ(s->EnabledState.value, 5) << "schema default";
    EXPECT_EQ(s->RequestedState.value, 12);

    const auto* t = as<cimple::VELDARO_StorageComputerSystem>(list[1]);
    EXPECT_STREQ(t->Name.value.c_str(), B);
    EXPECT_EQ(values(t->OperationalStatus), (std::vector<cimple::uint16>{6})) << "equal second code left out";
    EXPECT_STREQ(t->Status.value.c_str(), "Error");
    EXPECT_EQ(t->HealthState.value, 25) << "30 is published as 25";

    using SCS = cimple::VELDARO_StorageComputerSystem;
    struct Case {
        const char* name;
        const char* cls;
        int status;
    } cases[] = {
        {B, "VELDARO_StorageComputerSystem", 0},
        {NO_TABLE, "VELDARO_StorageComputerSystem", 60},
        {"10.0.0.3", "VELDARO_StorageComputerSystem", 60},
        {A, "VELDARO_ControllerComputerSystem", 60},
    };
    for (const Case& c : cases) {
        Instance_Ptr got;
        EXPECT_EQ(get<SCS>("VELDARO_StorageComputerSystem",
                           [&](SCS* m) {
                               m->Name.set(c.name);
                               m->CreationClassName.set(c.cls);
                           },
                           got),
                  c.status)
            << c.name << " " << c.cls;
    }
}

TEST_F(SystemProviders, MissingStatusStopsTheEnumerationButNotTheGet)
{
    installAB(false);
    smis::test::LogCapture logs;
    int status = -1;
    EXPECT_TRUE(enumerate("VELDARO_StorageComputerSystem", &status).empty());
    EXPECT_EQ(status, 70);
    EXPECT_TRUE(enumerate("VELDARO_PrivilegeManagementService", &status).empty());
    EXPECT_EQ(status, 70);
    EXPECT_TRUE(logs.hasLog("Generation of Instance went wrong."));

    Instance_Ptr got;
    using SCS = cimple::VELDARO_StorageComputerSystem;
    EXPECT_EQ(get<SCS>("VELDARO_StorageComputerSystem",
                       [](SCS* m) {
                           m->Name.set(B);
                           m->CreationClassName.set("VELDARO_StorageComputerSystem");
                       },
                       got),
              0);
}

TEST_F(SystemProviders, ControllerComputerSystems)
{
    installAB();
    int status = -1;
    Instance_List list = enumerate("VELDARO_ControllerComputerSystem", &status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(list.size(), 3u);

    struct Expected {
        const char* name;
        const char* element;
        unsigned slot;
        const char* factor;
        const char* ip;
        const char* serial;
        const char* revision;
        cimple::uint16 operational;
        const char* status;
        cimple::uint16 health;
    } expected[] = {
        {"10.0.0.1_CM00", "Controller00", 0, "0x12,0x34", "192.0.2.10", "CMSER0", "AA", 5, "Pred Fail", 15},
        {"10.0.0.1_CM01", "Controller01", 1, "0x34,0x12", "", "CMSER1", "AB", 5, "Pred Fail", 15},
        {"10.0.0.2_CM03", "Controller03", 3, "0x00", "0.0.0.0", "CMSER3", "AC", 2, "OK", 5},
    };
    for (size_t i = 0; i < list.size(); ++i) {
        const auto* c = as<cimple::VELDARO_ControllerComputerSystem>(list[i]);
        const Expected& e = expected[i];
        EXPECT_STREQ(c->Name.value.c_str(), e.name);
        EXPECT_STREQ(c->ElementName.value.c_str(), e.element);
        EXPECT_STREQ(c->Caption.value.c_str(), "Controller");
        EXPECT_STREQ(c->NameFormat.value.c_str(), "Other");
        EXPECT_EQ(c->CMSlotNumber.value, e.slot);
        EXPECT_STREQ(c->Factor.value.c_str(), e.factor) << e.name;
        EXPECT_STREQ(c->IP.value.c_str(), e.ip) << e.name;
        EXPECT_EQ(c->IP.null, 0) << "present even when empty";
        EXPECT_STREQ(c->SerialNumber.value.c_str(), e.serial);
        EXPECT_STREQ(c->HardwareRevision.value.c_str(), e.revision);
        EXPECT_EQ(values(c->OperationalStatus), (std::vector<cimple::uint16>{e.operational}));
        EXPECT_STREQ(c->Status.value.c_str(), e.status);
        EXPECT_EQ(c->HealthState.value, e.health);
        EXPECT_EQ(values(c->Dedicated), (std::vector<cimple::uint16>{3, 15}));

        Instance_Ptr got;
        EXPECT_EQ(getSame("VELDARO_ControllerComputerSystem", list[i].get(), got), 0) << e.name;
    }
}

TEST_F(SystemProviders, PrivilegeServiceAndMaskingCapabilities)
{
    installAB();
    int status = -1;
    Instance_List services = enumerate("VELDARO_PrivilegeManagementService", &status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(services.size(), 2u);
    const auto* p = as<cimple::VELDARO_PrivilegeManagementService>(services[0]);
    EXPECT_STREQ(p->Name.value.c_str(), "VELDARO:KESTRIS SMI-S Proxy Server");
    EXPECT_STREQ(p->CreationClassName.value.c_str(), "VELDARO_PrivilegeManagementService");
    EXPECT_STREQ(p->SystemCreationClassName.value.c_str(), "VELDARO_StorageComputerSystem");
    EXPECT_STREQ(p->SystemName.value.c_str(), A);
    EXPECT_STREQ(p->ElementName.value.c_str(), "VELDARO_PrivilegeManagementService");
    EXPECT_EQ(values(p->OperationalStatus), (std::vector<cimple::uint16>{2, 5}));
    EXPECT_STREQ(p->Status.value.c_str(), "OK");
    EXPECT_STREQ(as<cimple::VELDARO_PrivilegeManagementService>(services[1])->SystemName.value.c_str(), B);
    Instance_Ptr got;
    EXPECT_EQ(getSame("VELDARO_PrivilegeManagementService", services[1].get(), got), 0);

    Instance_List caps = enumerate("VELDARO_ProtocolControllerMaskingCapabilities", &status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(caps.size(), 2u);
    const auto* c = as<cimple::VELDARO_ProtocolControllerMaskingCapabilities>(caps[0]);
    EXPECT_STREQ(c->InstanceID.value.c_str(), "VELDARO:PCMC_10.0.0.1");
    EXPECT_STREQ(c->ElementName.value.c_str(), "VELDARO_ProtocolControllerMaskingCapabilities");
    EXPECT_EQ(values(c->ValidHardwareIdTypes), (std::vector<cimple::uint16>{2, 5, 6}));
    EXPECT_EQ(values(c->SupportedSynchronousActions), (std::vector<cimple::uint16>{2, 3, 4, 11, 12, 13, 14}));
    EXPECT_TRUE(c->SupportedAsynchronousActions.value.size() == 0 && !c->SupportedAsynchronousActions.null);
    EXPECT_EQ(c->PortsPerView.value, 2);
    EXPECT_EQ(c->MaximumMapCount.value, 512);
    EXPECT_TRUE(c->ClientSelectableDeviceNumbers.value);
    EXPECT_TRUE(c->ExposePathsSupported.value);
    EXPECT_TRUE(c->SPCSupportsDefaultViews.value);
    EXPECT_FALSE(c->AttachDeviceSupported.value);
    EXPECT_FALSE(c->SPCAllowsNoLUs.value);
    EXPECT_FALSE(c->UniqueUnitNumbersPerPort.value);
    EXPECT_STREQ(as<cimple::VELDARO_ProtocolControllerMaskingCapabilities>(caps[1])->InstanceID.value.c_str(),
                 "VELDARO:PCMC_10.0.0.2");
    EXPECT_EQ(getSame("VELDARO_ProtocolControllerMaskingCapabilities", caps[1].get(), got), 0);
}

}  // namespace
