// How the physical parts of an array are packaged: enclosures holding parts,
// slots holding disks and cards, enclosures carrying slots, disks holding
// their media, channel-adapter cards holding SFP modules and controller
// cards memories, the packages of the computer systems, products and the
// system's location, by enumeration and from each kind of source.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AssociationCalls.h"
#include "CIM_ComputerSystemPackage.h"
#include "CIM_ComputerSystemPackage_Provider.h"
#include "CIM_ConnectorOnPackage.h"
#include "CIM_ConnectorOnPackage_Provider.h"
#include "CIM_Container.h"
#include "CIM_Container_Provider.h"
#include "CIM_ElementLocation.h"
#include "CIM_ElementLocation_Provider.h"
#include "CIM_MemoryOnCard.h"
#include "CIM_MemoryOnCard_Provider.h"
#include "CIM_PackageInChassis.h"
#include "CIM_PackageInChassis_Provider.h"
#include "CIM_PackageInSlot.h"
#include "CIM_PackageInSlot_Provider.h"
#include "CIM_PackagedComponent.h"
#include "CIM_PackagedComponent_Provider.h"
#include "CIM_ProductParentChild.h"
#include "CIM_ProductParentChild_Provider.h"
#include "CIM_ProductPhysicalComponent.h"
#include "CIM_ProductPhysicalComponent_Provider.h"
#include "CMTBuilder.h"
#include "OneArrayFixture.h"
#include "VELDARO_BBU.h"
#include "VELDARO_ChannelAdapterCard.h"
#include "VELDARO_ChannelAdapterSlot.h"
#include "VELDARO_ControllerCard.h"
#include "VELDARO_ControllerEnclosure.h"
#include "VELDARO_ControllerSlot.h"
#include "VELDARO_DeviceEnclosure.h"
#include "VELDARO_DiskProduct.h"
#include "VELDARO_DiskSlot.h"
#include "VELDARO_FAN.h"
#include "VELDARO_IOM.h"
#include "VELDARO_PSU.h"
#include "VELDARO_PhysicalDisk.h"
#include "VELDARO_PhysicalMedia.h"
#include "VELDARO_StorageProduct.h"
#include "VELDARO_StorageVolume.h"

using assoc_test::Held;
using assoc_test::Held_List;
using smis::test::CMTBuilder;

namespace {

constexpr const char* A = smis::test::One_Array_Fixture::ADDRESS;

// The controller enclosure with one controller module, one channel adapter
// (two SFP ports) on controller module 0, a power supply, a fan and a
// battery; drive enclosure 0x01 with disks in positions 0 and 1 (position 2
// empty), a power supply and an I/O module; drive enclosure 0x02 without
// disks; a disk entry of enclosure 0x03, which is not in the table.
void buildArray(CMTBuilder& b)
{
    b.maxCounts({});
    b.sys().ModelType(145).SeriesName("KSERIES").ModelName("KS100").SerialNumber("0815");
    b.firmware().CurrentGeneration(1).Version1("10").Version2("20").Version3("0030");
    b.ce().SerialNo("CE-S").Revision("AA").PartsNo("CE-P");
    b.cm(0x01001000).Status(0xE001).ModuleId(0x10);
    b.cmDetail(0x10).PartsNo("P").SerialNo("S").HardRevision("R");
    b.cmMemory(0x0B000000).Status(1).Size(0x100000000ULL).PartNo("M").SerialNo("MS0").Revision("M0");
    b.cmMemory(0x0B000001).Status(1).Size(0x100000000ULL).PartNo("M").SerialNo("MS1").Revision("M1");
    const std::uint32_t ca = 0x10000100;
    b.ca(ca).Status(1).ModuleId(0x10).Type(1).RealType(0x5600);
    auto detail = b.caDetail(ca);
    detail.BoardPartsNo("CA-P").BoardSerialNo("CA-S").BoardRevision("CR");
    for (std::size_t k = 0; k < 2; ++k) {
        CMTBuilder::caPort(detail, k).Status(0xE001).PortNo(static_cast<std::uint8_t>(k));
        CMTBuilder::sfp(detail, k).PartsNo("SP").SerialNo("SS").Revision("SR");
    }
    b.cpsu(0x73000100).Status(0xE001).Factor(0x0001).SerialNo("CS").Revision("CR").PartsNo("CP");
    b.fan(0x71000200).Status(0xE001);
    b.bbu(0x75000000).Status(0xE001).Capacity(100).Factor(0x0002).SerialNo("BS").Revision("BR").PartsNo("BP");

    b.de(0xD0000100).Status(0xE001).DeId(0x01).DiskCount(3).SerialNo("DE-S").Revision("DR").PartsNo("DE-P");
    b.de(0xD0000200).Status(0xE001).DeId(0x02).DiskCount(0).SerialNo("DE-S2").Revision("DR").PartsNo("DE-P");
    for (std::uint16_t n : {0x0100, 0x0101, 0x0300})
        b.disk(0x80000000u | n, n).Status(0).Usage(0x02).WholeBlockCount(1000000).VenderId("V").ProductId("P")
            .SerialNo("S").Revision("R");
    b.dpsu(0xD2000100).Status(0xE001).Factor(0x0010).SerialNo("DS").Revision("DR").PartsNo("DP");
    b.exp(0x90000101).Status(0xE001).Factor(0x0012).PartsNo("IO-P").SerialNo("IO-S").Revision("IR");
}

// "first>second" by the Tags of an association's ends.
template <class Association>
std::vector<std::string> pairs(const Held_List& list, const char* first, const char* second)
{
    std::vector<std::string> out;
    for (const auto& a : list)
        out.push_back(assoc_test::text(assoc_test::end(a.get(), first), "Tag") + ">" +
                      assoc_test::text(assoc_test::end(a.get(), second), "Tag"));
    return out;
}

std::vector<std::string> tags(const Held_List& list)
{
    std::vector<std::string> out;
    for (const auto& i : list)
        out.push_back(assoc_test::text(i.get(), "Tag"));
    return out;
}

template <class C>
Held part(const std::string& tag)
{
    C* c = C::create();
    c->CreationClassName.set(C::static_meta_class.name);
    c->Tag.set((tag + "_" + A).c_str());
    return Held(c);
}

std::string at(const std::string& tag)
{
    return tag + "_" + A;
}

// Tags (or "first>second" pairs of tags) of the array.
std::vector<std::string> at(std::initializer_list<const char*> list)
{
    std::vector<std::string> out;
    for (const char* t : list) {
        const std::string s = t;
        const auto gt = s.find('>');
        out.push_back(gt == std::string::npos ? at(s) : at(s.substr(0, gt)) + ">" + at(s.substr(gt + 1)));
    }
    return out;
}

struct Case {
    Held source;
    bool names;
    std::vector<std::string> expected;
};

template <class Provider>
void expectAssociators(Provider& provider, Case* begin, Case* end)
{
    for (Case* c = begin; c != end; ++c) {
        SCOPED_TRACE(assoc_test::text(c->source.get(), "Tag"));
        Held_List got;
        EXPECT_EQ(assoc_test::associators(provider, c->source.get(), got, c->names), 0);
        EXPECT_EQ(tags(got), c->expected);
    }
}

class PackagingAssociations : public smis::test::One_Array_Fixture {
protected:
    void SetUp() override
    {
        One_Array_Fixture::SetUp();
        CMTBuilder a;
        buildArray(a);
        install(a);
        setEnclosureStatus(0x20, {{0x01, 0x20}, {0x02, 0x20}});
        setDeviceStatus(0x50);
    }
};

TEST_F(PackagingAssociations, EnclosuresHoldTheirParts)
{
    cimple::CIM_PackageInChassis_Provider provider;
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_PackageInChassis>(provider, list), 0);
    EXPECT_EQ(pairs<cimple::CIM_PackageInChassis>(list, "GroupComponent", "PartComponent"),
              at({"CE0x00>CC00", "CE0x00>CAC0x10", "CE0x00>PSU01_CE0x00", "DE0x01>PD0x0100", "DE0x01>PD0x0101",
                  "DE0x01>PSU00_DE0x01", "DE0x01>IOM01_DE0x01", "CE0x00>FAN02_CE0x00", "CE0x00>BBU00"}))
        << "the disk of enclosure 0x03, which the table lacks, is in no enclosure";

    Case cases[] = {
        {part<cimple::VELDARO_ControllerEnclosure>("CE0x00"), false,
         at({"CC00", "CAC0x10", "PSU01_CE0x00", "FAN02_CE0x00", "BBU00"})},
        {part<cimple::VELDARO_DeviceEnclosure>("DE0x01"), true,
         at({"PD0x0100", "PD0x0101", "PSU00_DE0x01", "IOM01_DE0x01"})},
        {part<cimple::VELDARO_DeviceEnclosure>("DE0x02"), false, {}},
        {part<cimple::VELDARO_ControllerCard>("CC00"), false, at({"CE0x00"})},
        {part<cimple::VELDARO_ChannelAdapterCard>("CAC0x10"), true, at({"CE0x00"})},
        {part<cimple::VELDARO_PhysicalDisk>("PD0x0101"), false, at({"DE0x01"})},
        {part<cimple::VELDARO_PhysicalDisk>("PD0x0300"), false, {}},
        {part<cimple::VELDARO_PSU>("PSU01_CE0x00"), true, at({"CE0x00"})},
        // Another controller enclosure number is not a power supply key.
        {part<cimple::VELDARO_PSU>("PSU01_CE0x01"), false, {}},
        {part<cimple::VELDARO_PSU>("PSU00_DE0x01"), false, at({"DE0x01"})},
        {part<cimple::VELDARO_IOM>("IOM01_DE0x01"), false, at({"DE0x01"})},
        {part<cimple::VELDARO_FAN>("FAN02_CE0x00"), false, at({"CE0x00"})},
        {part<cimple::VELDARO_FAN>("FAN03_CE0x00"), false, {}},
        {part<cimple::VELDARO_BBU>("BBU00"), true, at({"CE0x00"})},
        {Held(cimple::create(&cimple::VELDARO_StorageVolume::static_meta_class)), false, {}},
    };
    expectAssociators(provider, std::begin(cases), std::end(cases));
}

TEST_F(PackagingAssociations, SlotsHoldDisksAndCards)
{
    cimple::CIM_PackageInSlot_Provider provider;
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_PackageInSlot>(provider, list), 0);
    EXPECT_EQ(pairs<cimple::CIM_PackageInSlot>(list, "Antecedent", "Dependent"),
              at({"DS0x0100>PD0x0100", "DS0x0101>PD0x0101", "DS0x0300>PD0x0300", "CS00>CC00", "CAS0x10>CAC0x10"}));

    Case cases[] = {
        {part<cimple::VELDARO_DiskSlot>("DS0x0100"), false, at({"PD0x0100"})},
        {part<cimple::VELDARO_PhysicalDisk>("PD0x0101"), true, at({"DS0x0101"})},
        {part<cimple::VELDARO_PhysicalDisk>("PD0x0555"), false, {}},
        {part<cimple::VELDARO_ControllerSlot>("CS00"), false, at({"CC00"})},
        {part<cimple::VELDARO_ControllerCard>("CC00"), true, at({"CS00"})},
        {part<cimple::VELDARO_ChannelAdapterSlot>("CAS0x10"), false, at({"CAC0x10"})},
        {part<cimple::VELDARO_ChannelAdapterCard>("CAC0x10"), false, at({"CAS0x10"})},
        {part<cimple::VELDARO_ChannelAdapterCard>("CAC0x11"), false, {}},
    };
    expectAssociators(provider, std::begin(cases), std::end(cases));
}

TEST_F(PackagingAssociations, EnclosuresCarrySlots)
{
    cimple::CIM_ConnectorOnPackage_Provider provider;
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_ConnectorOnPackage>(provider, list), 0);
    EXPECT_EQ(pairs<cimple::CIM_ConnectorOnPackage>(list, "GroupComponent", "PartComponent"),
              at({"DE0x01>DS0x0100", "DE0x01>DS0x0101", "CE0x00>CS00", "CE0x00>CAS0x10"}));

    Case cases[] = {
        {part<cimple::VELDARO_DeviceEnclosure>("DE0x01"), false, at({"DS0x0100", "DS0x0101"})},
        {part<cimple::VELDARO_DeviceEnclosure>("DE0x02"), true, {}},
        {part<cimple::VELDARO_DiskSlot>("DS0x0101"), false, at({"DE0x01"})},
        {part<cimple::VELDARO_DiskSlot>("DS0x0300"), false, {}},
        {part<cimple::VELDARO_ControllerEnclosure>("CE0x00"), true, at({"CS00", "CAS0x10"})},
        {part<cimple::VELDARO_ControllerSlot>("CS00"), false, at({"CE0x00"})},
        {part<cimple::VELDARO_ChannelAdapterSlot>("CAS0x10"), false, at({"CE0x00"})},
    };
    expectAssociators(provider, std::begin(cases), std::end(cases));
}

TEST_F(PackagingAssociations, DisksHoldTheirMedia)
{
    cimple::CIM_PackagedComponent_Provider provider;
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_PackagedComponent>(provider, list), 0);
    EXPECT_EQ(pairs<cimple::CIM_PackagedComponent>(list, "GroupComponent", "PartComponent"),
              at({"PD0x0100>PM0x0100", "PD0x0101>PM0x0101", "PD0x0300>PM0x0300"}));
    Case cases[] = {
        {part<cimple::VELDARO_PhysicalMedia>("PM0x0101"), false, at({"PD0x0101"})},
        {part<cimple::VELDARO_PhysicalDisk>("PD0x0101"), true, at({"PM0x0101"})},
        {part<cimple::VELDARO_PhysicalDisk>("PD0x0999"), false, {}},
    };
    expectAssociators(provider, std::begin(cases), std::end(cases));
}

TEST_F(PackagingAssociations, AdapterCardsHoldEverySfpOfTheirSlot)
{
    cimple::CIM_Container_Provider provider;
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_Container>(provider, list), 0);
    EXPECT_EQ(pairs<cimple::CIM_Container>(list, "GroupComponent", "PartComponent"),
              at({"CAC0x10>SFP_CM00CA01P00", "CAC0x10>SFP_CM00CA01P01"}));
}

// Whichever key an instance has.
std::string key(const cimple::Instance* i)
{
    for (const char* name : {"Tag", "DeviceID", "Name", "InstanceID"}) {
        const std::string value = assoc_test::text(i, name);
        if (!value.empty())
            return value;
    }
    return std::string();
}

// "first>second" by whichever key each end has.
std::vector<std::string> keyPairs(const Held_List& list, const char* first, const char* second)
{
    std::vector<std::string> out;
    for (const auto& a : list)
        out.push_back(key(assoc_test::end(a.get(), first)) + ">" + key(assoc_test::end(a.get(), second)));
    return out;
}

TEST_F(PackagingAssociations, SystemsProductsLocationAndMemories)
{
    cimple::CIM_ComputerSystemPackage_Provider packages;
    cimple::CIM_ProductParentChild_Provider products;
    cimple::CIM_ElementLocation_Provider locations;
    cimple::CIM_MemoryOnCard_Provider memories;
    Held_List packaged, children, located, carried;
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_ComputerSystemPackage>(packages, packaged), 0);
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_ProductParentChild>(products, children), 0);
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_ElementLocation>(locations, located), 0);
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_MemoryOnCard>(memories, carried), 0);
    EXPECT_EQ(keyPairs(packaged, "Antecedent", "Dependent"),
              (std::vector<std::string>{"CE0x00_10.0.0.5>10.0.0.5", "DE0x01_10.0.0.5>10.0.0.5",
                                        "DE0x02_10.0.0.5>10.0.0.5", "CC00_10.0.0.5>10.0.0.5_CM00"}));
    EXPECT_EQ(keyPairs(children, "Parent", "Child"),
              (std::vector<std::string>{"KSERIES     (KS100       )_10.0.0.5>P_10.0.0.5"}))
        << "all disks share one product";
    EXPECT_EQ(keyPairs(located, "Element", "PhysicalLocation"), (std::vector<std::string>{"10.0.0.5>10.0.0.5"}));
    EXPECT_EQ(keyPairs(carried, "GroupComponent", "PartComponent"),
              (std::vector<std::string>{"CC00_10.0.0.5>PM0x0000_10.0.0.5", "CC00_10.0.0.5>PM0x0001_10.0.0.5"}))
        << "one pair per memory of the card";
}

TEST_F(PackagingAssociations, ProductsCoverEnclosuresAndDisks)
{
    cimple::CIM_ProductPhysicalComponent_Provider provider;
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_ProductPhysicalComponent>(provider, list), 0);
    const std::string storage = "KSERIES     (KS100       )_10.0.0.5";
    EXPECT_EQ(keyPairs(list, "GroupComponent", "PartComponent"),
              (std::vector<std::string>{storage + ">CE0x00_10.0.0.5", storage + ">DE0x01_10.0.0.5",
                                        storage + ">DE0x02_10.0.0.5", "P_10.0.0.5>PD0x0100_10.0.0.5",
                                        "P_10.0.0.5>PD0x0101_10.0.0.5", "P_10.0.0.5>PD0x0300_10.0.0.5"}));

    // The storage product as enumerated (every key of a product set).
    ASSERT_FALSE(list.empty());
    cimple::Instance* product = cimple::clone(assoc_test::end(list[0].get(), "GroupComponent"));
    auto* disks = cimple::VELDARO_DiskProduct::create();
    disks->Name.set("P_10.0.0.5");
    disks->IdentifyingNumber.set("P");
    disks->Vendor.set("V");
    disks->Version.set("R");
    auto* otherDisks = disks->clone();
    otherDisks->Version.set("R2");
    struct Source {
        Held source;
        std::vector<std::string> expected;
    } sources[] = {
        {Held(product), {"CE0x00_10.0.0.5", "DE0x01_10.0.0.5", "DE0x02_10.0.0.5"}},
        {part<cimple::VELDARO_ControllerEnclosure>("CE0x00"), {storage}},
        {part<cimple::VELDARO_DeviceEnclosure>("DE0x02"), {storage}},
        {Held(disks), {"PD0x0100_10.0.0.5", "PD0x0101_10.0.0.5", "PD0x0300_10.0.0.5"}},
        {Held(otherDisks), {}},
        {part<cimple::VELDARO_PhysicalDisk>("PD0x0101"), {"P_10.0.0.5"}},
    };
    for (const Source& c : sources) {
        SCOPED_TRACE(key(c.source.get()));
        for (bool names : {false, true}) {
            Held_List got;
            EXPECT_EQ(assoc_test::associators(provider, c.source.get(), got, names), 0);
            std::vector<std::string> keys;
            for (const auto& far : got)
                keys.push_back(key(far.get()));
            EXPECT_EQ(keys, c.expected);
        }
    }
}

TEST_F(PackagingAssociations, AFailingEnclosureBuildFailsTheRequest)
{
    // Drive enclosure 0x01 without a cached status cannot be built.
    setEnclosureStatus(0x20, {{0x02, 0x20}});
    cimple::CIM_PackageInChassis_Provider provider;
    Held_List list;
    EXPECT_EQ(assoc_test::enumerate<cimple::CIM_PackageInChassis>(provider, list), 70);
    EXPECT_EQ(pairs<cimple::CIM_PackageInChassis>(list, "GroupComponent", "PartComponent"),
              at({"CE0x00>CC00", "CE0x00>CAC0x10", "CE0x00>PSU01_CE0x00"}))
        << "what was delivered before the failing enclosure stays delivered";

    auto de = part<cimple::VELDARO_DeviceEnclosure>("DE0x01");
    Held_List got;
    EXPECT_EQ(assoc_test::associators(provider, de.get(), got), 170);
    EXPECT_EQ(assoc_test::associators(provider, de.get(), got, true), 110);
    auto disk = part<cimple::VELDARO_PhysicalDisk>("PD0x0100");
    EXPECT_EQ(assoc_test::associators(provider, disk.get(), got), 170);
    EXPECT_TRUE(got.empty());
}

}  // namespace
