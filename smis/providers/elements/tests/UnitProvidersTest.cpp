// Power supplies, fans, batteries and the channel adapter and controller
// slots, built from installed tables and driven through the module's
// providers.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "LogCapture.h"
#include "ProviderModuleFixture.h"
#include "VELDARO_BBU.h"
#include "VELDARO_ChannelAdapterSlot.h"
#include "VELDARO_ControllerSlot.h"
#include "VELDARO_FAN.h"
#include "VELDARO_PSU.h"

using cimple::Instance_List;
using cimple::Instance_Ptr;
using smis::test::CMTBuilder;

namespace {

constexpr const char* A = "10.0.0.5";
constexpr std::uint32_t NO_NUMBER = 4294967295u;

class UnitProviders : public smis::test::ProviderModuleFixture {};

TEST_F(UnitProviders, PowerSuppliesOfBothEnclosureKinds)
{
    CMTBuilder a;
    a.dpsu(0xD2001200).Status(0xE001).Factor(0x0010).SerialNo("DS").Revision("DR").PartsNo("DP");
    a.cpsu(0x73000100).Status(0xE001).Factor(0x0001).SerialNo("CS").Revision("CR").PartsNo("CP");
    a.cpsu(0x73000200).Status(0).SerialNo("X").Revision("X").PartsNo("X");  // not in use
    install({{A, &a}});

    using PSU = cimple::VELDARO_PSU;
    Instance_List list;
    ASSERT_EQ(enumerate("VELDARO_PSU", list), 0);
    ASSERT_EQ(tags<PSU>(list), (std::vector<std::string>{"PSU01_CE0x00_10.0.0.5", "PSU00_DE0x12_10.0.0.5"}))
        << "controller enclosure units first";

    const PSU* ce = byTag<PSU>(list, "PSU01_CE0x00_10.0.0.5");
    EXPECT_STREQ(ce->ElementName.value.c_str(), "Power Supply Unit - CE0x00:PSU01");
    EXPECT_STREQ(ce->Name.value.c_str(), "Power Supply Unit - CE0x00:PSU01");
    EXPECT_STREQ(ce->Caption.value.c_str(), "Power Supply Unit");
    EXPECT_EQ(ce->DeID.value, NO_NUMBER);
    EXPECT_STREQ(ce->ChassisID.value.c_str(), "ControllerEnclosure");
    EXPECT_STREQ(ce->PhysicalPosition.value.c_str(), "1");
    EXPECT_STREQ(ce->Factor.value.c_str(), "0x0001");
    EXPECT_STREQ(ce->SerialNumber.value.c_str(), "CS");
    EXPECT_STREQ(ce->Version.value.c_str(), "CR");
    EXPECT_STREQ(ce->PartNumber.value.c_str(), "CP");
    EXPECT_STREQ(ce->Model.value.c_str(), "Unknown");
    EXPECT_TRUE(ce->CanBeFRUed.value);
    EXPECT_EQ(ce->RemovalConditions.value, 4);
    EXPECT_EQ(statuses(ce->OperationalStatus), (std::vector<std::uint16_t>{2}));
    EXPECT_EQ(ce->HealthState.value, 5);

    const PSU* de = byTag<PSU>(list, "PSU00_DE0x12_10.0.0.5");
    EXPECT_STREQ(de->ElementName.value.c_str(), "Power Supply Unit - DE0x12:PSU00");
    EXPECT_EQ(de->DeID.value, 18u);
    EXPECT_STREQ(de->ChassisID.value.c_str(), "DeviceEnclosure0x12");
    EXPECT_STREQ(de->PhysicalPosition.value.c_str(), "0");

    expectEachFoundByTag<PSU>("VELDARO_PSU", list);
    // Another controller enclosure number does not parse (the drive
    // enclosure format is not tried); units that are absent or not in use.
    for (const char* tag : {"PSU01_CE0x01_10.0.0.5", "PSU01_DE0x12_10.0.0.5", "PSU02_CE0x00_10.0.0.5", "PSU1_10.0.0.5",
                            "PSU00_DE0x12"}) {
        Instance_Ptr got;
        EXPECT_EQ(getByTag<PSU>("VELDARO_PSU", tag, got), 60) << tag;
    }
}

TEST_F(UnitProviders, FansBatteriesAndSlots)
{
    CMTBuilder a;
    a.fan(0x71000200).Status(0xE001);
    a.bbu(0x75000000).Status(0xE001).Capacity(100).Factor(0x0002).SerialNo("BS").Revision("BR").PartsNo("BP");
    a.ca(0x10000000).Status(0xE001).ModuleId(0x21);
    a.ca(0x10000100).Status(0xE001).ModuleId(0x29);  // not an adapter card
    a.cm(0x01001000).Status(0xE001).ModuleId(0x10);
    a.cmDetail(0x10).PartsNo("P").SerialNo("S").HardRevision("R");
    install({{A, &a}});

    Instance_List fans, batteries, adapterSlots, controllerSlots;
    ASSERT_EQ(enumerate("VELDARO_FAN", fans), 0);
    ASSERT_EQ(enumerate("VELDARO_BBU", batteries), 0);
    ASSERT_EQ(enumerate("VELDARO_ChannelAdapterSlot", adapterSlots), 0);
    ASSERT_EQ(enumerate("VELDARO_ControllerSlot", controllerSlots), 0);

    using FAN = cimple::VELDARO_FAN;
    ASSERT_EQ(tags<FAN>(fans), (std::vector<std::string>{"FAN02_CE0x00_10.0.0.5"}));
    const FAN* fan = byTag<FAN>(fans, "FAN02_CE0x00_10.0.0.5");
    EXPECT_STREQ(fan->ElementName.value.c_str(), "FAN - CE0x00:FAN02");
    EXPECT_STREQ(fan->Name.value.c_str(), "FAN - CE0x00:FAN02");
    EXPECT_STREQ(fan->Caption.value.c_str(), "FAN");
    EXPECT_STREQ(fan->PhysicalPosition.value.c_str(), "2");
    EXPECT_EQ(fan->CMSlotNumber.value, NO_NUMBER);
    EXPECT_STREQ(fan->ChassisID.value.c_str(), "ControllerEnclosure");
    EXPECT_TRUE(fan->CanBeFRUed.value);
    EXPECT_EQ(fan->HealthState.value, 5);

    using BBU = cimple::VELDARO_BBU;
    ASSERT_EQ(tags<BBU>(batteries), (std::vector<std::string>{"BBU00_10.0.0.5"}));
    const BBU* bbu = byTag<BBU>(batteries, "BBU00_10.0.0.5");
    EXPECT_STREQ(bbu->ElementName.value.c_str(), "Battery Backup Unit - 00");
    EXPECT_EQ(bbu->BatteryCharge.value, 100u);
    EXPECT_STREQ(bbu->Factor.value.c_str(), "0x0002");
    EXPECT_STREQ(bbu->PhysicalPosition.value.c_str(), "0");
    EXPECT_STREQ(bbu->SerialNumber.value.c_str(), "BS");
    EXPECT_STREQ(bbu->PartNumber.value.c_str(), "BP");
    EXPECT_EQ(bbu->RemovalConditions.value, 4);

    using CAS = cimple::VELDARO_ChannelAdapterSlot;
    ASSERT_EQ(tags<CAS>(adapterSlots), (std::vector<std::string>{"CAS0x21_10.0.0.5"}));
    const CAS* cas = byTag<CAS>(adapterSlots, "CAS0x21_10.0.0.5");
    EXPECT_STREQ(cas->ElementName.value.c_str(), "Channel Adapter Slot - CM01CA02");
    EXPECT_STREQ(cas->Name.value.c_str(), A);
    EXPECT_EQ(cas->Number.value, 2);
    EXPECT_EQ(cas->CMSlotNumber.value, 1u);
    EXPECT_EQ(cas->CASlotNumber.value, 2u);
    EXPECT_FALSE(cas->CanBeFRUed.value);
    EXPECT_EQ(statuses(cas->OperationalStatus), (std::vector<std::uint16_t>{2}));

    using CS = cimple::VELDARO_ControllerSlot;
    ASSERT_EQ(tags<CS>(controllerSlots), (std::vector<std::string>{"CS00_10.0.0.5"}));
    const CS* cs = byTag<CS>(controllerSlots, "CS00_10.0.0.5");
    EXPECT_STREQ(cs->ElementName.value.c_str(), "Controller Slot - CM00");
    EXPECT_STREQ(cs->Name.value.c_str(), A);
    EXPECT_EQ(cs->Number.value, 0);
    EXPECT_EQ(cs->CMSlotNumber.value, 0u);
    EXPECT_FALSE(cs->CanBeFRUed.value);

    expectEachFoundByTag<FAN>("VELDARO_FAN", fans);
    expectEachFoundByTag<BBU>("VELDARO_BBU", batteries);
    expectEachFoundByTag<CAS>("VELDARO_ChannelAdapterSlot", adapterSlots);
    expectEachFoundByTag<CS>("VELDARO_ControllerSlot", controllerSlots);
}

// One unit whose item id carries a kind byte the status derivation does not
// know fails the whole build of its array.
TEST_F(UnitProviders, AUnitWhoseStatusCannotBeDerivedFailsItsArray)
{
    struct Case {
        const char* cls;
        std::function<void(CMTBuilder&)> table;
    };
    const Case cases[] = {
        {"VELDARO_PSU", [](CMTBuilder& b) { b.cpsu(0x20000100).Status(0xE001).SerialNo("S").Revision("R").PartsNo("P"); }},
        {"VELDARO_FAN", [](CMTBuilder& b) { b.fan(0x20000100).Status(0xE001); }},
        {"VELDARO_BBU", [](CMTBuilder& b) { b.bbu(0x20000100).Status(0xE001).SerialNo("S").Revision("R").PartsNo("P"); }},
        {"VELDARO_ChannelAdapterSlot", [](CMTBuilder& b) { b.ca(0x20000100).Status(0xE001).ModuleId(0x01); }},
        {"VELDARO_ControllerSlot",
         [](CMTBuilder& b) {
             b.cm(0x20001100).Status(0xE001).ModuleId(0x11);
             b.cmDetail(0x11).PartsNo("P").SerialNo("S").HardRevision("R");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cls);
        cimple::SMIS_CMTAccess::destroy();
        CMTBuilder a;
        c.table(a);
        install({{A, &a}});
        smis::test::LogCapture logs;
        Instance_List list;
        EXPECT_EQ(enumerate(c.cls, list), 70);
        EXPECT_TRUE(list.empty());
        EXPECT_TRUE(logs.hasLog("Generation of Instance went wrong."));
    }
}

}  // namespace
