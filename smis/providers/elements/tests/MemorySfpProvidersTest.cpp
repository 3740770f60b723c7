// Controller memory modules and the SFP modules of the channel adapter ports.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ElementProviderFixture.h"
#include "VELDARO_PhysicalMemory.h"
#include "VELDARO_SFP.h"

using cimple::Instance_List;
using cimple::Instance_Ptr;
using smis::test::as;
using smis::test::CMTBuilder;
using smis::test::values;

namespace {

constexpr const char* A = "10.0.0.1";

// Controller modules 0 and 1 have detail records, module 2 none (its memory
// is not visited). Memory: CM0 slot 0, CM1 slot 2, CM2 slot 0.
// Adapters: FC (module id 0x11, both ports), 0x3000 kind on a module half
// (module id 0x08, ports numbered 2 and 3), iSCSI (no SFP), FC with real type class 0x0000 (module id
// 0x20), an adapter without real type and one not present.
void build(CMTBuilder& b)
{
    b.maxCounts({});
    b.cm(0x01001000).Status(0xE001).ModuleId(0x10);
    b.cm(0x01001100).Status(0xE001).ModuleId(0x11);
    b.cm(0x01001200).Status(0xE001).ModuleId(0x12);
    b.cmDetail(0x10);
    b.cmDetail(0x11);
    b.cmMemory(0x0B000000).Status(1).Size(0x100000000ULL).PartNo("MPART0").SerialNo("MSER0").Revision("M0");
    b.cmMemory(0x0B000102).Status(1).Size(0x200000000ULL).PartNo("MPART1").SerialNo("MSER1").Revision("M1");
    b.cmMemory(0x0B000200).Status(1).Size(1).PartNo("MPART2").SerialNo("MSER2").Revision("M2");

    struct Adapter {
        std::uint32_t index;
        std::uint16_t status;
        std::uint8_t moduleId;
        std::uint16_t realType;
        std::uint16_t port0, port1;
    } adapters[] = {
        {1, 1, 0x11, 0x5600, 0xE001, 0xE401},
        {2, 1, 0x08, 0x3100, 0xE001, 0xE401},
        {3, 1, 0x02, 0x2100, 0xE001, 0xE001},
        {4, 1, 0x20, 0x0600, 0xE001, 0},
        {5, 1, 0x21, 0x0000, 0xE001, 0},
        {6, 0, 0x22, 0x5600, 0xE001, 0},
    };
    for (const Adapter& a : adapters) {
        const std::uint32_t itemId = 0x10000000 | (a.index << 8);
        b.ca(itemId).Status(a.status).ModuleId(a.moduleId).Type(1).RealType(a.realType);
        auto detail = b.caDetail(itemId);
        // The ports of a module half (module id bit 3) are numbered 2 and 3.
        const std::uint8_t first = (a.moduleId & 0x08) ? 2 : 0;
        CMTBuilder::caPort(detail, 0).Status(a.port0).PortNo(first);
        CMTBuilder::caPort(detail, 1).Status(a.port1).PortNo(static_cast<std::uint8_t>(first + 1));
        for (std::size_t k = 0; k < 2; ++k) {
            const std::string n = std::to_string(a.index) + std::to_string(k);
            CMTBuilder::sfp(detail, k).PartsNo("SPART" + n).SerialNo("SSER" + n).Revision("R" + n);
        }
    }
}

class MemorySfpProviders : public smis::test::ElementProviderFixture {
protected:
    void SetUp() override
    {
        ElementProviderFixture::SetUp();
        build(table);
        install({{A, &table}}, {A});
    }
    CMTBuilder table;
};

TEST_F(MemorySfpProviders, ControllerMemory)
{
    int status = -1;
    Instance_List list = enumerate("VELDARO_PhysicalMemory", &status);
    ASSERT_EQ(status, 0);
    struct Expected {
        const char* tag;
        const char* element;
        unsigned cm;
        cimple::uint64 capacity;
        const char* serial;
    } expected[] = {
        {"PM0x0000_10.0.0.1", "Controller Memory - CM00M00", 0, 0x100000000ULL, "MSER0"},
        {"PM0x0102_10.0.0.1", "Controller Memory - CM01M02", 1, 0x200000000ULL, "MSER1"},
    };
    ASSERT_EQ(list.size(), 2u) << "a controller module without detail record contributes nothing";
    for (size_t i = 0; i < list.size(); ++i) {
        const auto* m = as<cimple::VELDARO_PhysicalMemory>(list[i]);
        EXPECT_STREQ(m->Tag.value.c_str(), expected[i].tag);
        EXPECT_STREQ(m->ElementName.value.c_str(), expected[i].element);
        EXPECT_EQ(m->CMSlotNumber.value, expected[i].cm);
        EXPECT_EQ(m->Capacity.value, expected[i].capacity);
        EXPECT_STREQ(m->SerialNumber.value.c_str(), expected[i].serial);
        EXPECT_STREQ(m->CreationClassName.value.c_str(), "VELDARO_PhysicalMemory");
        EXPECT_STREQ(m->Name.value.c_str(), "VELDARO:KESTRIS SMI-S Proxy Server");
        EXPECT_STREQ(m->Manufacturer.value.c_str(), "VELDARO");
        EXPECT_STREQ(m->Model.value.c_str(), "Unknown");
        EXPECT_TRUE(m->CanBeFRUed.value);
        EXPECT_EQ(m->RemovalConditions.value, 4);
        EXPECT_EQ(m->FormFactor.value, 8);
        Instance_Ptr got;
        EXPECT_EQ(getSame("VELDARO_PhysicalMemory", list[i].get(), got), 0);
    }
    const auto* second = as<cimple::VELDARO_PhysicalMemory>(list[1]);
    EXPECT_STREQ(second->PartNumber.value.c_str(), "MPART1");
    EXPECT_STREQ(second->Version.value.c_str(), "M1");
}

TEST_F(MemorySfpProviders, SfpOfFcAndPortedAdapters)
{
    int status = -1;
    Instance_List list = enumerate("VELDARO_SFP", &status);
    ASSERT_EQ(status, 0);
    struct Expected {
        const char* numbers;
        unsigned cm, ca, port;
        cimple::uint16 operational;
        const char* serial;
    } expected[] = {
        {"CM01CA01P00", 1, 1, 0, 2, "SSER10"},
        {"CM01CA01P01", 1, 1, 1, 5, "SSER11"},
        {"CM00CA00P02", 0, 0, 2, 2, "SSER20"},  // module half bit: port + 2
        {"CM00CA00P03", 0, 0, 3, 5, "SSER21"},
        {"CM00CA02P00", 0, 2, 0, 2, "SSER40"},
    };
    ASSERT_EQ(list.size(), 5u);
    for (size_t i = 0; i < list.size(); ++i) {
        const auto* s = as<cimple::VELDARO_SFP>(list[i]);
        const Expected& e = expected[i];
        EXPECT_EQ(s->Tag.value.c_str(), std::string("SFP_") + e.numbers + "_10.0.0.1");
        EXPECT_EQ(s->ElementName.value.c_str(), std::string("Small Form Factor Pluggable - ") + e.numbers);
        EXPECT_EQ(s->CMSlotNumber.value, e.cm);
        EXPECT_EQ(s->CASlotNumber.value, e.ca);
        EXPECT_EQ(s->PortNo.value, e.port);
        EXPECT_EQ(values(s->OperationalStatus), (std::vector<cimple::uint16>{e.operational}));
        EXPECT_STREQ(s->SerialNumber.value.c_str(), e.serial);
        EXPECT_STREQ(s->CreationClassName.value.c_str(), "VELDARO_SFP");
        EXPECT_STREQ(s->Model.value.c_str(), "Unknown");
        EXPECT_TRUE(s->CanBeFRUed.value);
        EXPECT_EQ(s->RemovalConditions.value, 4);
        Instance_Ptr got;
        EXPECT_EQ(getSame("VELDARO_SFP", list[i].get(), got), 0) << e.numbers;
    }
    const auto* first = as<cimple::VELDARO_SFP>(list[0]);
    EXPECT_STREQ(first->PartNumber.value.c_str(), "SPART10");
    EXPECT_STREQ(first->Version.value.c_str(), "R10");
    EXPECT_STREQ(first->Status.value.c_str(), "OK");

    using SFP = cimple::VELDARO_SFP;
    Instance_Ptr got;
    EXPECT_EQ(get<SFP>("VELDARO_SFP",
                       [](SFP* m) {
                           m->Tag.set("SFP_CM00CA01P00_10.0.0.1");  // the iSCSI adapter
                           m->CreationClassName.set("VELDARO_SFP");
                       },
                       got),
              60);
}

}  // namespace
