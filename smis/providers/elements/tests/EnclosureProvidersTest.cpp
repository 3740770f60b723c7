// Enclosures, controller cards, channel adapter cards and I/O modules, built
// from installed tables and stored enclosure status, driven through the
// module's providers.

#include <gtest/gtest.h>

#include "LogCapture.h"
#include "ProviderModuleFixture.h"
#include "VELDARO_ChannelAdapterCard.h"
#include "VELDARO_ControllerCard.h"
#include "VELDARO_ControllerEnclosure.h"
#include "VELDARO_DeviceEnclosure.h"
#include "VELDARO_IOM.h"
#include "VELDARO_ValueConv.h"

using cimple::Instance_List;
using cimple::Instance_Ptr;
using smis::test::CMTBuilder;

namespace {

constexpr const char* A = "10.0.0.5";
constexpr const char* B = "10.0.0.6";

// The controller enclosure record, its sensors and the system model.
void enclosure(CMTBuilder& b, const char* serial)
{
    b.ce().SerialNo(serial).Revision("AA").PartsNo("CE-PART");
    b.ceInlet().Factor(0x1a2b);
    b.ceOutlet().Factor(0x0003);
    b.sys().ModelType(145);
}

class EnclosureProviders : public smis::test::ProviderModuleFixture {};

TEST_F(EnclosureProviders, ControllerEnclosureIsOnePerArray)
{
    CMTBuilder a, b;
    enclosure(a, "CE-A");
    enclosure(b, "CE-B");
    install({{A, &a}, {B, &b}});
    setEnclosureStatus(A, 0x27, {});  // pair (2, 4)
    setEnclosureStatus(B, 0x20, {});  // pair (2, 2): one status

    Instance_List list;
    ASSERT_EQ(enumerate("VELDARO_ControllerEnclosure", list), 0);
    using CE = cimple::VELDARO_ControllerEnclosure;
    ASSERT_EQ(tags<CE>(list), (std::vector<std::string>{"CE0x00_10.0.0.5", "CE0x00_10.0.0.6"}));
    const CE* ce = byTag<CE>(list, "CE0x00_10.0.0.5");
    EXPECT_STREQ(ce->CreationClassName.value.c_str(), "VELDARO_ControllerEnclosure");
    EXPECT_STREQ(ce->Caption.value.c_str(), "Controller Enclosure - CE0x00");
    EXPECT_STREQ(ce->Name.value.c_str(), "VELDARO:KESTRIS SMI-S Proxy Server");
    EXPECT_STREQ(ce->ElementName.value.c_str(), "ControllerEnclosure");
    EXPECT_STREQ(ce->Manufacturer.value.c_str(), "VELDARO");
    EXPECT_STREQ(ce->Model.value.c_str(), cimple::VELDARO_ValueConv::convSystemModelToSMISValue(145).c_str());
    EXPECT_STREQ(ce->SerialNumber.value.c_str(), "CE-A");
    EXPECT_STREQ(ce->Version.value.c_str(), "AA");
    EXPECT_STREQ(ce->PartNumber.value.c_str(), "CE-PART");
    EXPECT_FALSE(ce->CanBeFRUed.value);
    EXPECT_EQ(ce->RemovalConditions.value, 2);
    EXPECT_TRUE(ce->LockPresent.value && ce->AudibleAlarm.value && ce->VisibleAlarm.value);
    EXPECT_EQ(ce->ChassisPackageType.value, 22);
    EXPECT_STREQ(ce->Inlet.value.c_str(), "0x1a2b");
    EXPECT_STREQ(ce->Outlet.value.c_str(), "0x0003");
    EXPECT_EQ(statuses(ce->OperationalStatus), (std::vector<std::uint16_t>{2, 4}));
    EXPECT_STREQ(ce->Status.value.c_str(), "OK");
    EXPECT_EQ(statuses(byTag<CE>(list, "CE0x00_10.0.0.6")->OperationalStatus), (std::vector<std::uint16_t>{2}));
    expectEachFoundByTag<CE>("VELDARO_ControllerEnclosure", list);

    Instance_Ptr got;
    EXPECT_EQ(getByTag<CE>("VELDARO_ControllerEnclosure", "CE0x01_10.0.0.5", got), 60);
}

TEST_F(EnclosureProviders, AnArrayWithoutEnclosureStatusFailsTheEnumeration)
{
    CMTBuilder a, b;
    enclosure(a, "CE-A");
    enclosure(b, "CE-B");
    install({{A, &a}, {B, &b}});
    setEnclosureStatus(B, 0x20, {});  // A has no status data

    smis::test::LogCapture logs;
    Instance_List list;
    EXPECT_EQ(enumerate("VELDARO_ControllerEnclosure", list), 70);
    EXPECT_TRUE(list.empty()) << "the array after the failing one is not visited";
    EXPECT_TRUE(logs.hasLog("Generation of Instance went wrong."));

    Instance_Ptr got;
    EXPECT_EQ(getByTag<cimple::VELDARO_ControllerEnclosure>("VELDARO_ControllerEnclosure", "CE0x00_10.0.0.6", got),
              0);
}

TEST_F(EnclosureProviders, ControllerCardsFollowTheModuleRecordsInUse)
{
    CMTBuilder a;
    a.cm(0x01001000).Status(0xE001).ModuleId(0x10);
    a.cm(0x01001100).Status(0xE001).ModuleId(0x11).Factor(7);  // degraded: factor with 0xE001
    a.cmDetail(0x10).PartsNo("CM-P0").SerialNo("CM-S0").HardRevision("R0");
    a.cmDetail(0x11).PartsNo("CM-P1").SerialNo("CM-S1").HardRevision("R1");
    a.cmDetail(0x12).PartsNo("CM-P2").SerialNo("CM-S2").HardRevision("R2");  // no module entry: skipped
    install({{A, &a}});

    using CC = cimple::VELDARO_ControllerCard;
    Instance_List list;
    ASSERT_EQ(enumerate("VELDARO_ControllerCard", list), 0);
    ASSERT_EQ(tags<CC>(list), (std::vector<std::string>{"CC00_10.0.0.5", "CC01_10.0.0.5"}));
    const CC* cc = byTag<CC>(list, "CC01_10.0.0.5");
    EXPECT_STREQ(cc->ElementName.value.c_str(), "Controller Card - CM01");
    EXPECT_STREQ(cc->Caption.value.c_str(), "Controller Card");
    EXPECT_STREQ(cc->Name.value.c_str(), "VELDARO:KESTRIS SMI-S Proxy Server");
    EXPECT_STREQ(cc->Model.value.c_str(), "Unknown");
    EXPECT_STREQ(cc->SerialNumber.value.c_str(), "CM-S1");
    EXPECT_STREQ(cc->Version.value.c_str(), "R1");
    EXPECT_STREQ(cc->PartNumber.value.c_str(), "CM-P1");
    EXPECT_STREQ(cc->PhysicalPosition.value.c_str(), "1");
    EXPECT_EQ(cc->CMSlotNumber.value, 1u);
    EXPECT_STREQ(cc->ChassisID.value.c_str(), "ControllerEnclosure");
    EXPECT_TRUE(cc->CanBeFRUed.value);
    EXPECT_EQ(cc->RemovalConditions.value, 4);
    EXPECT_EQ(statuses(cc->OperationalStatus), (std::vector<std::uint16_t>{5}));
    EXPECT_EQ(statuses(byTag<CC>(list, "CC00_10.0.0.5")->OperationalStatus), (std::vector<std::uint16_t>{2}));
    expectEachFoundByTag<CC>("VELDARO_ControllerCard", list);
}

TEST_F(EnclosureProviders, ChannelAdapterCardsSkipFreeEntriesAndModuleHalves)
{
    CMTBuilder a;
    a.ca(0x10000000).Status(0xE001).ModuleId(0x11);
    a.caDetail(0x10000000).BoardPartsNo("CA-P").BoardSerialNo("CA-S").BoardRevision("CR");
    a.ca(0x10000100).Status(0xE001).ModuleId(0x19);  // bit 3: not an adapter card
    a.ca(0x10000200).Status(0).ModuleId(0x20);       // not in use
    install({{A, &a}});

    using CAC = cimple::VELDARO_ChannelAdapterCard;
    Instance_List list;
    ASSERT_EQ(enumerate("VELDARO_ChannelAdapterCard", list), 0);
    ASSERT_EQ(tags<CAC>(list), (std::vector<std::string>{"CAC0x11_10.0.0.5"}));
    const CAC* c = byTag<CAC>(list, "CAC0x11_10.0.0.5");
    EXPECT_STREQ(c->ElementName.value.c_str(), "Channel Adapter Card - CM01CA01");
    EXPECT_STREQ(c->Name.value.c_str(), A);
    EXPECT_STREQ(c->SerialNumber.value.c_str(), "CA-S");
    EXPECT_STREQ(c->Version.value.c_str(), "CR");
    EXPECT_STREQ(c->PartNumber.value.c_str(), "CA-P");
    EXPECT_EQ(c->CMSlotNumber.value, 1u);
    EXPECT_EQ(c->CASlotNumber.value, 1u);
    EXPECT_EQ(statuses(c->OperationalStatus), (std::vector<std::uint16_t>{2}));
    expectEachFoundByTag<CAC>("VELDARO_ChannelAdapterCard", list);
}

TEST_F(EnclosureProviders, AnAdapterWhoseStatusCannotBeDerivedFailsItsArray)
{
    CMTBuilder a;
    a.ca(0x10000000).Status(0xE001).ModuleId(0x01);
    a.caDetail(0x10000000).BoardPartsNo("P").BoardSerialNo("S").BoardRevision("R");
    // Entry 1 holds an item id whose kind byte is not a channel adapter's.
    a.ca(0x20000100).Status(0xE001).ModuleId(0x02);
    install({{A, &a}});

    smis::test::LogCapture logs;
    Instance_List list;
    EXPECT_EQ(enumerate("VELDARO_ChannelAdapterCard", list), 70);
    EXPECT_TRUE(logs.hasLog("Generation of Instance went wrong."));
    Instance_Ptr got;
    EXPECT_EQ(getByTag<cimple::VELDARO_ChannelAdapterCard>("VELDARO_ChannelAdapterCard", "CAC0x01_10.0.0.5", got), 60)
        << "the whole build of the array fails";
}

TEST_F(EnclosureProviders, DriveEnclosuresByTheirNumber)
{
    CMTBuilder a;
    a.sys().ModelType(145);
    a.de(0xD0001A00).Status(0xE001).DeId(0x1a).SerialNo("DE-S").Revision("DR").PartsNo("DE-P");
    a.deInlet(0xD0001A00).Factor(0x0010);
    a.deOutlet(0xD0001A00).Factor(0x0020);
    a.de(0xD0000200).Status(0xE001).DeId(0x02).SerialNo("DE-S2").Revision("DR").PartsNo("DE-P");
    install({{A, &a}});
    setEnclosureStatus(A, 0x20, {{0x1a, 0x27}, {0x02, 0x20}});

    using DE = cimple::VELDARO_DeviceEnclosure;
    Instance_List list;
    ASSERT_EQ(enumerate("VELDARO_DeviceEnclosure", list), 0);
    ASSERT_EQ(tags<DE>(list), (std::vector<std::string>{"DE0x02_10.0.0.5", "DE0x1a_10.0.0.5"}));
    const DE* de = byTag<DE>(list, "DE0x1a_10.0.0.5");
    EXPECT_STREQ(de->ElementName.value.c_str(), "DeviceEnclosure0x1a");
    EXPECT_STREQ(de->Caption.value.c_str(), "Device Enclosure");
    EXPECT_STREQ(de->Name.value.c_str(), "VELDARO:KESTRIS SMI-S Proxy Server");
    EXPECT_STREQ(de->SerialNumber.value.c_str(), "DE-S");
    EXPECT_TRUE(de->CanBeFRUed.value);
    EXPECT_EQ(de->RemovalConditions.value, 4);
    EXPECT_TRUE(de->LockPresent.value && de->VisibleAlarm.value);
    EXPECT_EQ(de->ChassisPackageType.value, 22);
    EXPECT_STREQ(de->Inlet.value.c_str(), "0x0010");
    EXPECT_STREQ(de->Outlet.value.c_str(), "0x0020");
    EXPECT_EQ(statuses(de->OperationalStatus), (std::vector<std::uint16_t>{2, 4}));
    EXPECT_EQ(statuses(byTag<DE>(list, "DE0x02_10.0.0.5")->OperationalStatus), (std::vector<std::uint16_t>{2}));
    expectEachFoundByTag<DE>("VELDARO_DeviceEnclosure", list);

    // Keys that parse to no entry, that do not parse, that differ from the
    // built key in case, or that name no configured array.
    for (const char* tag : {"DE0x05_10.0.0.5", "DE0x_10.0.0.5", "DE0x1A_10.0.0.5", "DE0x1a_10.0.0.9", "DE0x1a"}) {
        Instance_Ptr got;
        EXPECT_EQ(getByTag<DE>("VELDARO_DeviceEnclosure", tag, got), 60) << tag;
    }
}

TEST_F(EnclosureProviders, ADriveEnclosureWithoutStatusFailsTheEnumeration)
{
    CMTBuilder a;
    a.de(0xD0000100).Status(0xE001).DeId(0x01).SerialNo("S").Revision("R").PartsNo("P");
    install({{A, &a}});
    setEnclosureStatus(A, 0x20, {{0x02, 0x20}});
    Instance_List list;
    EXPECT_EQ(enumerate("VELDARO_DeviceEnclosure", list), 70);
    Instance_Ptr got;
    EXPECT_EQ(getByTag<cimple::VELDARO_DeviceEnclosure>("VELDARO_DeviceEnclosure", "DE0x01_10.0.0.5", got), 60);
}

TEST_F(EnclosureProviders, IOModulesOfTheDriveEnclosures)
{
    CMTBuilder a;
    a.exp(0x90000201).Status(0xE001).Factor(0x0012).PartsNo("IO-P").SerialNo("IO-S").Revision("IR");
    a.exp(0x90000200).Status(0).PartsNo("IO-P").SerialNo("IO-S").Revision("IR");  // not in use
    install({{A, &a}});

    using IOM = cimple::VELDARO_IOM;
    Instance_List list;
    ASSERT_EQ(enumerate("VELDARO_IOM", list), 0);
    ASSERT_EQ(tags<IOM>(list), (std::vector<std::string>{"IOM01_DE0x02_10.0.0.5"}));
    const IOM* io = byTag<IOM>(list, "IOM01_DE0x02_10.0.0.5");
    EXPECT_STREQ(io->ElementName.value.c_str(), "I/O Module - DE0x02:IOM01");
    EXPECT_STREQ(io->Name.value.c_str(), "I/O Module - DE0x02:IOM01");
    EXPECT_STREQ(io->Caption.value.c_str(), "I/O Module");
    EXPECT_STREQ(io->PhysicalPosition.value.c_str(), "1");
    EXPECT_STREQ(io->ChassisID.value.c_str(), "DeviceEnclosure0x02");
    EXPECT_STREQ(io->Factor.value.c_str(), "0x0012");
    EXPECT_STREQ(io->Model.value.c_str(), "Unknown");
    EXPECT_STREQ(io->SerialNumber.value.c_str(), "IO-S");
    EXPECT_EQ(statuses(io->OperationalStatus), (std::vector<std::uint16_t>{2}));
    expectEachFoundByTag<IOM>("VELDARO_IOM", list);

    for (const char* tag : {"IOM1_10.0.0.5", "IOM00_DE0x02_10.0.0.5", "IOM01_DE0x03_10.0.0.5"}) {
        Instance_Ptr got;
        EXPECT_EQ(getByTag<IOM>("VELDARO_IOM", tag, got), 60) << tag;
    }
}

}  // namespace
