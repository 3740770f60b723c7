// What the physical elements realise: disks their drives, media their
// extents, drives the extents on them, channel-adapter cards and SFP modules
// their ports, by enumeration and from each kind of source.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AssociationCalls.h"
#include "AssociationTables.h"
#include "CIM_MediaPresent.h"
#include "CIM_MediaPresent_Provider.h"
#include "CIM_Realizes.h"
#include "CIM_RealizesExtent.h"
#include "CIM_RealizesExtent_Provider.h"
#include "CIM_Realizes_Provider.h"
#include "CMTBuilder.h"
#include "OneArrayFixture.h"
#include "VELDARO_ChannelAdapterCard.h"
#include "VELDARO_DiskDrive.h"
#include "VELDARO_DiskExtent.h"
#include "VELDARO_EthernetPort.h"
#include "VELDARO_FCPort.h"
#include "VELDARO_PhysicalDisk.h"
#include "VELDARO_PhysicalMedia.h"
#include "VELDARO_SFP.h"

using assoc_test::Held;
using assoc_test::Held_List;
using smis::test::CMTBuilder;

namespace {

constexpr const char* A = smis::test::One_Array_Fixture::ADDRESS;
constexpr std::uint16_t PORT_OK = 0xE001;

// Two disks; an FC adapter (module 0x10), an iSCSI adapter whose ports sit
// on the card (module 0x11, real type 0x2100) and one whose ports sit
// behind SFP modules (module 0x12, real type 0x3100), one port each.
void buildArray(CMTBuilder& b)
{
    b.maxCounts({});
    b.sys().ModelType(145);
    b.cm(0x01001000).Status(0xE001).ModuleId(0x10);
    b.cmDetail(0x10).PartsNo("P").SerialNo("S").HardRevision("R");
    for (std::uint16_t n : {0x0100, 0x0101}) {
        b.disk(0x80000000u | n, n).Status(0).Usage(0x02).WholeBlockCount(1000000).VenderId("V").ProductId("P").SerialNo("S")
            .Revision("R");
    }
    struct Adapter {
        std::uint32_t itemId;
        std::uint8_t moduleId;
        std::uint16_t realType;
    } adapters[] = {{0x10000100, 0x10, 0x0600}, {0x10000200, 0x11, 0x2100}, {0x10000300, 0x12, 0x3100}};
    for (const Adapter& a : adapters) {
        b.ca(a.itemId).Status(1).ModuleId(a.moduleId).Type(a.realType).RealType(a.realType);
        auto detail = b.caDetail(a.itemId);
        detail.BoardPartsNo("CA-P").BoardSerialNo("CA-S").BoardRevision("CR");
        CMTBuilder::caPort(detail, 0).Status(PORT_OK).PortNo(0).IPAddress({192, 168, 0, a.moduleId})
            .Wwn({0x50, 0, 0, 0xE0, 0xD0, 0, 0, a.moduleId});
        CMTBuilder::sfp(detail, 0).PartsNo("SP").SerialNo("SS").Revision("SR");
    }
}

std::string keyOf(const cimple::Instance* i)
{
    const std::string tag = assoc_test::text(i, "Tag");
    return tag.empty() ? assoc_test::text(i, "DeviceID") : tag;
}

std::vector<std::string> pairs(const Held_List& list)
{
    std::vector<std::string> out;
    for (const auto& a : list)
        out.push_back(keyOf(assoc_test::end(a.get(), "Antecedent")) + ">" +
                      keyOf(assoc_test::end(a.get(), "Dependent")));
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
Held tagged(const std::string& tag)
{
    C* c = C::create();
    c->CreationClassName.set(C::static_meta_class.name);
    c->Tag.set((tag + "_" + A).c_str());
    return Held(c);
}

template <class C>
Held device(const char* id)
{
    return assoc_test::tables::extent<C>(A, id);
}

struct Case {
    Held source;
    std::vector<std::string> expected;
};

template <class Provider>
void expectAssociators(Provider& provider, Case* begin, Case* end)
{
    for (Case* c = begin; c != end; ++c) {
        SCOPED_TRACE(keyOf(c->source.get()));
        for (bool names : {false, true}) {
            Held_List got;
            EXPECT_EQ(assoc_test::associators(provider, c->source.get(), got, names), 0);
            EXPECT_EQ(keys(got), c->expected);
        }
    }
}

class RealizationAssociations : public smis::test::One_Array_Fixture {
protected:
    void installArray()
    {
        CMTBuilder a;
        buildArray(a);
        install(a);
    }
};

TEST_F(RealizationAssociations, PhysicalElementsRealiseDrivesAndPorts)
{
    installArray();
    cimple::CIM_Realizes_Provider provider;
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_Realizes>(provider, list), 0);
    EXPECT_EQ(pairs(list), (std::vector<std::string>{
                               "PD0x0100_10.0.0.5>DD0x0100",
                               "PD0x0101_10.0.0.5>DD0x0101",
                               "CAC0x11_10.0.0.5>iSCSIP_CM01CA01P00",
                               "SFP_CM00CA01P00_10.0.0.5>FCP_CM00CA01P00",
                               "SFP_CM02CA01P00_10.0.0.5>iSCSIP_CM02CA01P00",
                           }))
        << "ports on the card pair with the card, ports behind an SFP with the SFP, FC ports never with a card";

    Case cases[] = {
        {tagged<cimple::VELDARO_ChannelAdapterCard>("CAC0x11"), {"iSCSIP_CM01CA01P00"}},
        {tagged<cimple::VELDARO_ChannelAdapterCard>("CAC0x10"), {}},
        {device<cimple::VELDARO_EthernetPort>("iSCSIP_CM01CA01P00"), {"CAC0x11_10.0.0.5"}},
        {device<cimple::VELDARO_EthernetPort>("iSCSIP_CM02CA01P00"), {"SFP_CM02CA01P00_10.0.0.5"}},
        {device<cimple::VELDARO_FCPort>("FCP_CM00CA01P00"), {"SFP_CM00CA01P00_10.0.0.5"}},
        {tagged<cimple::VELDARO_SFP>("SFP_CM00CA01P00"), {"FCP_CM00CA01P00"}},
        {tagged<cimple::VELDARO_SFP>("SFP_CM02CA01P00"), {"iSCSIP_CM02CA01P00"}},
        {tagged<cimple::VELDARO_SFP>("SFP_CM01CA01P00"), {}},
        {tagged<cimple::VELDARO_PhysicalDisk>("PD0x0101"), {"DD0x0101"}},
        {device<cimple::VELDARO_DiskDrive>("DD0x0100"), {"PD0x0100_10.0.0.5"}},
        {device<cimple::VELDARO_DiskDrive>("DD0x0555"), {}},
        {device<cimple::VELDARO_DiskDrive>("XX"), {}},
    };
    expectAssociators(provider, std::begin(cases), std::end(cases));
}

TEST_F(RealizationAssociations, MediaRealiseExtentsAndDrivesHoldThem)
{
    installArray();
    cimple::CIM_RealizesExtent_Provider realizes;
    cimple::CIM_MediaPresent_Provider present;
    Held_List extents, media;
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_RealizesExtent>(realizes, extents), 0);
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_MediaPresent>(present, media), 0);
    EXPECT_EQ(pairs(extents), (std::vector<std::string>{"PM0x0100_10.0.0.5>DE0x0100", "PM0x0101_10.0.0.5>DE0x0101"}));
    EXPECT_EQ(pairs(media), (std::vector<std::string>{"DD0x0100>DE0x0100", "DD0x0101>DE0x0101"}));
    for (const auto& a : extents)
        EXPECT_TRUE(static_cast<const cimple::CIM_RealizesExtent*>(a.get())->StartingAddress.null);
    for (const auto& a : media)
        EXPECT_TRUE(static_cast<const cimple::CIM_MediaPresent*>(a.get())->FixedMedia.null);

    Case fromMedia[] = {
        {tagged<cimple::VELDARO_PhysicalMedia>("PM0x0101"), {"DE0x0101"}},
        {device<cimple::VELDARO_DiskExtent>("DE0x0100"), {"PM0x0100_10.0.0.5"}},
    };
    expectAssociators(realizes, std::begin(fromMedia), std::end(fromMedia));
    Case fromDrives[] = {
        {device<cimple::VELDARO_DiskDrive>("DD0x0101"), {"DE0x0101"}},
        {device<cimple::VELDARO_DiskExtent>("DE0x0100"), {"DD0x0100"}},
    };
    expectAssociators(present, std::begin(fromDrives), std::end(fromDrives));
}

// Disks at the first, a middle and the last entry of the table, added out
// of table order: the walk of the occupied entries finds each, in table
// order, and a request about the last one is answered from its entry.
TEST_F(RealizationAssociations, DrivesHoldTheirMediaAtAnyOccupiedEntry)
{
    CMTBuilder b;
    b.maxCounts({});
    b.sys().ModelType(145);
    // Disk number 0xFB17 sits in the last slot of the last drive enclosure.
    for (std::uint32_t n : {0xFB17u, 0u, 0x100u})
        b.disk(0x80000000u | n, n).Status(0).Usage(0x02).WholeBlockCount(1000000).VenderId("V").ProductId("P")
            .SerialNo("S").Revision("R");
    install(b);
    cimple::CIM_MediaPresent_Provider present;
    Held_List media;
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_MediaPresent>(present, media), 0);
    EXPECT_EQ(pairs(media), (std::vector<std::string>{"DD0x0000>DE0x0000", "DD0x0100>DE0x0100", "DD0xfb17>DE0xfb17"}));
    Case fromLast[] = {
        {device<cimple::VELDARO_DiskDrive>("DD0xfb17"), {"DE0xfb17"}},
        {device<cimple::VELDARO_DiskExtent>("DE0xfb17"), {"DD0xfb17"}},
        {device<cimple::VELDARO_DiskDrive>("DD0x0001"), {}},
    };
    expectAssociators(present, std::begin(fromLast), std::end(fromLast));
}

}  // namespace
