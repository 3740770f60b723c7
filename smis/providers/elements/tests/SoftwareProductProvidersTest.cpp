// Firmware identities (per controller module and per disk), the storage and
// disk products and the location of each array.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ElementProviderFixture.h"
#include "VELDARO_ControllerModuleSoftwareIdentity.h"
#include "VELDARO_DiskProduct.h"
#include "VELDARO_DiskSoftwareIdentity.h"
#include "VELDARO_Location.h"
#include "VELDARO_StorageComputerSystemSoftwareIdentity.h"
#include "VELDARO_StorageProduct.h"

using cimple::Instance_List;
using cimple::Instance_Ptr;
using smis::test::as;
using smis::test::CMTBuilder;
using smis::test::values;

namespace {

constexpr const char* A = "10.0.0.1";
constexpr const char* B = "10.0.0.2";

void disk(CMTBuilder& b, std::uint32_t itemId, std::uint16_t plun, const char* product, const char* revision,
          std::uint16_t status = 0)
{
    b.disk(itemId, plun).Status(status).VenderId("VNDR").ProductId(product).Revision(revision).SerialNo("S");
}

// Array A: firmware 10.20.0030, two controller modules, four disks of three
// products (PROD1 R1 twice, PROD2, then PROD1 with another revision in
// table order) and one empty slot; position "Rack 7".
void buildA(CMTBuilder& b)
{
    b.maxCounts({});
    b.sys().SeriesName("KSERIES#####").ModelName("KS200#######").SerialNumber("4711########");
    b.firmware().CurrentGeneration(1).Version1("10").Version2("20").Version3("0030");
    b.management().Position("Rack 7");
    b.cm(0x01001000).Status(0xE001).ModuleId(0x10);
    b.cm(0x01001100).Status(0xE401).ModuleId(0x11);
    b.cmDetail(0x10);
    b.cmDetail(0x11);
    disk(b, 0x80000000, 0x0000, "PROD1", "R1");
    disk(b, 0x80000018, 0x0017, "PROD1", "R1");  // item id's low bits are not its number
    disk(b, 0x8000010A, 0x010A, "PROD1", "R2", 4);
    disk(b, 0x80000106, 0x0106, "PROD2", "R1");
    disk(b, 0x80000107, 0x0107, "PROD3", "R1", 0x0102);  // no disk in the slot
}

// Array B: no firmware entry, a blank position, no disk.
void buildB(CMTBuilder& b)
{
    b.maxCounts({});
    disk(b, 0x80000000, 0x0000, "PROD1", "R1", 0x0002);  // the only slot, empty
    b.management().Position("");  // 64 blanks
    b.sys().SeriesName("KSERIES").ModelName("KS100").SerialNumber("0815");
    b.cm(0x01001000).Status(0xE001).ModuleId(0x10);
    b.cmDetail(0x10);
}

class SoftwareProductProviders : public smis::test::ElementProviderFixture {
protected:
    void SetUp() override
    {
        ElementProviderFixture::SetUp();
        buildA(a);
        buildB(b);
    }
    CMTBuilder a, b;
};

TEST_F(SoftwareProductProviders, ControllerFirmwareInBothViews)
{
    install({{A, &a}}, {A});
    struct View {
        const char* cls;
        const char* prefix;
        const char* version;
    } views[] = {
        {"VELDARO_ControllerModuleSoftwareIdentity", "VELDARO:CMSI", "10.20.0030"},
        {"VELDARO_StorageComputerSystemSoftwareIdentity", "VELDARO:SCSSI", "V10L20-0030"},
    };
    for (const View& v : views) {
        int status = -1;
        Instance_List list = enumerate(v.cls, &status);
        ASSERT_EQ(status, 0) << v.cls;
        ASSERT_EQ(list.size(), 2u) << v.cls;
        for (size_t i = 0; i < 2; ++i) {
            // Both classes share CIM_SoftwareIdentity's layout.
            const auto* s = as<cimple::VELDARO_ControllerModuleSoftwareIdentity>(list[i]);
            const std::string cm = i == 0 ? "00" : "01";
            EXPECT_EQ(s->InstanceID.value.c_str(), v.prefix + cm + "_10.0.0.1");
            EXPECT_EQ(s->ElementName.value.c_str(), "Controller FW - CM" + cm);
            EXPECT_STREQ(s->Caption.value.c_str(), "Controller FW");
            EXPECT_STREQ(s->VersionString.value.c_str(), v.version);
            EXPECT_STREQ(s->Manufacturer.value.c_str(), "VELDARO");
            EXPECT_EQ(values(s->Classifications), (std::vector<cimple::uint16>{10}));
            EXPECT_EQ(values(s->OperationalStatus), (std::vector<cimple::uint16>{i == 0 ? cimple::uint16(2)
                                                                                        : cimple::uint16(5)}));
            EXPECT_EQ(s->CMSlotNumber.value, i);
            Instance_Ptr got;
            EXPECT_EQ(getSame(v.cls, list[i].get(), got), 0);
        }
    }

    // An array without a firmware entry fails the enumeration of both views.
    install({{A, &a}, {B, &b}}, {A, B});
    for (const View& v : views) {
        int status = -1;
        enumerate(v.cls, &status);
        EXPECT_EQ(status, 70) << v.cls;
    }
}

TEST_F(SoftwareProductProviders, DiskFirmware)
{
    install({{A, &a}, {B, &b}}, {A, B});
    int status = -1;
    Instance_List list = enumerate("VELDARO_DiskSoftwareIdentity", &status);
    ASSERT_EQ(status, 0);
    std::vector<std::string> ids;
    for (const Instance_Ptr& p : list)
        ids.push_back(as<cimple::VELDARO_DiskSoftwareIdentity>(p)->InstanceID.value.c_str());
    EXPECT_EQ(ids, (std::vector<std::string>{"VELDARO:DSI0x0000_10.0.0.1", "VELDARO:DSI0x0017_10.0.0.1",
                                             "VELDARO:DSI0x0106_10.0.0.1", "VELDARO:DSI0x010a_10.0.0.1"}))
        << "table order; lower-case hexadecimal digits";
    const auto* d = as<cimple::VELDARO_DiskSoftwareIdentity>(list[1]);
    EXPECT_STREQ(d->ElementName.value.c_str(), "Disk FW - DE0x00:Disk24");
    EXPECT_STREQ(d->Caption.value.c_str(), "Disk FW");
    EXPECT_STREQ(d->VersionString.value.c_str(), "R1");
    EXPECT_STREQ(d->Manufacturer.value.c_str(), "VNDR");
    EXPECT_EQ(values(d->OperationalStatus), (std::vector<cimple::uint16>{2}));
    EXPECT_STREQ(d->Status.value.c_str(), "OK");
    EXPECT_EQ(values(d->Classifications), (std::vector<cimple::uint16>{10}));
    EXPECT_STREQ(as<cimple::VELDARO_DiskSoftwareIdentity>(list[3])->ElementName.value.c_str(),
                 "Disk FW - DE0x01:Disk10");

    using DSI = cimple::VELDARO_DiskSoftwareIdentity;
    struct Case {
        const char* key;
        int status;
    } cases[] = {
        {"VELDARO:DSI0x0017_10.0.0.1", 0},
        {"VELDARO:DSI0x010a_10.0.0.1", 0},
        {"VELDARO:DSI0x0107_10.0.0.1", 60},  // empty slot
        {"VELDARO:DSI0x0999_10.0.0.1", 60},  // no such disk
        {"VELDARO:DSI0x0017_10.0.0.2", 60},  // other array
        {"VELDARO:DSI0x0017", 60},           // no address
        {"VELDARO:CMSI00_10.0.0.1", 60},     // another class's key
        {"VELDARO:DSI0x10A_10.0.0.1", 60},   // keys compare as text
    };
    for (const Case& c : cases) {
        Instance_Ptr got;
        EXPECT_EQ(get<DSI>("VELDARO_DiskSoftwareIdentity", [&](DSI* m) { m->InstanceID.set(c.key); }, got),
                  c.status)
            << c.key;
    }
}

TEST_F(SoftwareProductProviders, StorageAndDiskProducts)
{
    install({{A, &a}}, {A});
    int status = -1;
    Instance_List storage = enumerate("VELDARO_StorageProduct", &status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(storage.size(), 1u);
    const auto* s = as<cimple::VELDARO_StorageProduct>(storage[0]);
    EXPECT_STREQ(s->Name.value.c_str(), "KSERIES(KS200)_10.0.0.1");
    EXPECT_STREQ(s->IdentifyingNumber.value.c_str(), "KS2004711");
    EXPECT_STREQ(s->ElementName.value.c_str(), "KS2004711");
    EXPECT_STREQ(s->Vendor.value.c_str(), "VELDARO");
    EXPECT_STREQ(s->Version.value.c_str(), "V10L20-0030");
    EXPECT_STREQ(s->Product.value.c_str(), "KESTRIS");
    EXPECT_STREQ(s->Caption.value.c_str(), "Storage Product");
    Instance_Ptr got;
    EXPECT_EQ(getSame("VELDARO_StorageProduct", storage[0].get(), got), 0);

    Instance_List disks = enumerate("VELDARO_DiskProduct", &status);
    ASSERT_EQ(status, 0);
    struct Expected {
        const char* product;
        const char* version;
    } expected[] = {{"PROD1", "R1"}, {"PROD2", "R1"}, {"PROD1", "R2"}};
    ASSERT_EQ(disks.size(), 3u) << "one instance per product, vendor and revision";
    for (size_t i = 0; i < disks.size(); ++i) {
        const auto* d = as<cimple::VELDARO_DiskProduct>(disks[i]);
        EXPECT_STREQ(d->IdentifyingNumber.value.c_str(), expected[i].product);
        EXPECT_STREQ(d->ElementName.value.c_str(), expected[i].product);
        EXPECT_EQ(d->Name.value.c_str(), std::string(expected[i].product) + "_10.0.0.1");
        EXPECT_STREQ(d->Vendor.value.c_str(), "VNDR");
        EXPECT_STREQ(d->Version.value.c_str(), expected[i].version);
        EXPECT_EQ(getSame("VELDARO_DiskProduct", disks[i].get(), got), 0);
    }

    // An array without disks has no disk product; one without firmware no
    // storage product (a failed build).
    install({{B, &b}}, {B});
    EXPECT_TRUE(enumerate("VELDARO_DiskProduct", &status).empty());
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(enumerate("VELDARO_StorageProduct", &status).empty());
    EXPECT_EQ(status, 70);
}

TEST_F(SoftwareProductProviders, Location)
{
    install({{A, &a}, {B, &b}}, {A, B});
    int status = -1;
    Instance_List list = enumerate("VELDARO_Location", &status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(list.size(), 2u);
    const auto* l = as<cimple::VELDARO_Location>(list[0]);
    EXPECT_STREQ(l->Name.value.c_str(), A);
    EXPECT_STREQ(l->PhysicalPosition.value.c_str(), "Rack 7") << "the table's text without its trailing blanks";
    EXPECT_STREQ(l->Caption.value.c_str(), "Storage Location");
    EXPECT_STREQ(l->ElementName.value.c_str(), "Storage Location");
    const auto* none = as<cimple::VELDARO_Location>(list[1]);
    EXPECT_STREQ(none->Name.value.c_str(), B);
    EXPECT_STREQ(none->PhysicalPosition.value.c_str(), "N/A");
    for (const Instance_Ptr& p : list) {
        Instance_Ptr got;
        EXPECT_EQ(getSame("VELDARO_Location", p.get(), got), 0);
    }
    // The name with the table's trailing blanks finds the same instance.
    Instance_Ptr got;
    ASSERT_EQ(get<cimple::VELDARO_Location>("VELDARO_Location",
                                            [](cimple::VELDARO_Location* m) {
                                                m->Name.set(A);
                                                m->PhysicalPosition.set(("Rack 7" + std::string(58, ' ')).c_str());
                                            },
                                            got),
              0);
    EXPECT_STREQ(as<cimple::VELDARO_Location>(got)->PhysicalPosition.value.c_str(), "Rack 7");
}

}  // namespace
