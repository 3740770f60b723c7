// The builders of one port's FC ports, SCSI endpoints and LUN-mapping
// controllers (and of the endpoints of one WWN) give what the array's
// builders give on that port, in list order; the device SAP pairs of each
// port and endpoint, answered from them, are those enumeration gives.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "AssociationCalls.h"
#include "CA_Port_Name.h"
#include "CIM_DeviceSAPImplementation.h"
#include "CIM_DeviceSAPImplementation_Provider.h"
#include "CMTBuilder.h"
#include "PortProviderFixture.h"
#include "VELDARO_FCPort_Resource.h"
#include "VELDARO_LUNMappingController_Resource.h"
#include "VELDARO_SCSIProtocolEndpoint_Resource.h"

namespace {

using assoc_test::Held_List;
using cimple::CA_Port_Name;
using smis::test::CMTBuilder;

constexpr const char* A = "10.0.0.5";
constexpr std::uint16_t PORT_OK = 0xE001;

std::string nul(const std::string& text, std::size_t width)
{
    std::string out = text;
    out.resize(width, '\0');
    return out;
}

// Two FC adapters of one CM and CA slot (module halves 0 and 1: ports 0, 1
// and 3), a SAS adapter, an iSCSI adapter, an absent FC adapter and a last
// FC adapter of the 0x5000 kind whose port has the WWN of the first port.
void build(CMTBuilder& b)
{
    b.maxCounts({});
    auto fc = [&](std::uint32_t item, std::uint8_t module, std::uint16_t realType, std::uint16_t status = 1) {
        b.ca(item).Status(status).ModuleId(module).Type(realType).RealType(realType);
        return b.caDetail(item);
    };
    auto first = fc(0x10004000, 0x52, 0x0600);
    CMTBuilder::caPort(first, 0).Status(PORT_OK).PortNo(0).SecurityMode(0).RAMode(0).Wwn({0x50, 0, 0, 0, 0, 0, 0, 1});
    CMTBuilder::caPort(first, 1).Status(PORT_OK).PortNo(1).SecurityMode(0x80).RAMode(0).Wwn({0x50, 0, 0, 0, 0, 0, 0, 2});
    auto half = fc(0x10004100, 0x5A, 0x0600);
    CMTBuilder::caPort(half, 0).Status(PORT_OK).PortNo(1).SecurityMode(0).RAMode(4).Wwn({0x50, 0, 0, 0, 0, 0, 0, 3});
    auto sas = fc(0x10004200, 0x40, 0xA000);
    CMTBuilder::caPort(sas, 0).Status(PORT_OK).PortNo(0).SecurityMode(0).RAMode(0).Wwn({0x50, 0, 0, 0, 0, 0, 0, 4});
    auto iscsi = fc(0x10004300, 0x61, 0x2100);
    CMTBuilder::caPort(iscsi, 0).Status(PORT_OK).PortNo(0).SecurityMode(0).RAMode(0)
        .iSCSIName(nul("iqn.2026-12.test:t0", 256)).AliasName(nul("t0", 32));
    auto absent = fc(0x10004400, 0x43, 0x0600, 0);
    CMTBuilder::caPort(absent, 0).Status(PORT_OK).PortNo(0).Wwn({0x50, 0, 0, 0, 0, 0, 0, 5});
    auto last = fc(0x10004500, 0x44, 0x5700);
    CMTBuilder::caPort(last, 0).Status(PORT_OK).PortNo(0).SecurityMode(0).RAMode(0).Wwn({0x50, 0, 0, 0, 0, 0, 0, 1});
}

template <class T>
CA_Port_Name portOf(const T& element)
{
    return CA_Port_Name::fields(std::uint16_t(element.CMSlotNumber.value), std::uint16_t(element.CASlotNumber.value),
                                std::uint16_t(element.PortNo.value));
}

std::string fcText(const cimple::VELDARO_FCPort& p)
{
    return std::string(p.DeviceID.value.c_str()) + "|" + p.Name.value.c_str() + "|" + std::to_string(p.Speed.value) +
           "|" + std::to_string(p.OperationalStatus.value[0]);
}

std::string endpointText(const cimple::VELDARO_SCSIProtocolEndpoint& e)
{
    return std::string(e.Name.value.c_str()) + "|" + e.ElementName.value.c_str() + "|" +
           std::to_string(e.ConnectionType.value) + "|" + portOf(e).text();
}

std::string controllerText(const cimple::VELDARO_LUNMappingController& c)
{
    return std::string(c.DeviceID.value.c_str()) + "|" + c.Name.value.c_str() + "|" + c.ElementName.value.c_str();
}

// The texts of a built list, of the elements keep takes.
template <class List, class Text, class Keep>
std::vector<std::string> texts(List& list, Text text, Keep keep)
{
    std::vector<std::string> out;
    for (std::size_t k = 0; k < list.size(); ++k)
        if (list[k] && keep(*list[k]))
            out.push_back(text(*list[k]));
    return out;
}

class OnePortBuilders : public smis::test::PortProviderFixture {
protected:
    void SetUp() override
    {
        PortProviderFixture::SetUp();
        CMTBuilder b;
        build(b);
        b.installCmf(A);
        configure({A});
        // Link words by the port's number within its CA pair.
        seedLinkStatus(A, 0x10004000, {4, 8});
        seedLinkStatus(A, 0x10004100, {0, 0, 0, 8});
        seedLinkStatus(A, 0x10004500, {2});
    }
};

TEST_F(OnePortBuilders, BuildWhatTheArraysBuildersBuildOnThePort)
{
    cimple::VELDARO_FCPort_Resource allPorts(A);
    cimple::VELDARO_SCSIProtocolEndpoint_Resource allEndpoints(A);
    cimple::VELDARO_LUNMappingController_Resource allControllers(A);
    ASSERT_EQ(allPorts.createFCPort(), 0);
    ASSERT_EQ(allEndpoints.createSCSIProtocolEndpoint(), 0);
    ASSERT_EQ(allControllers.createLUNMappingController(), 0);
    ASSERT_EQ(allPorts.instances().size(), 4u);
    ASSERT_EQ(allEndpoints.instances().size(), 5u);
    ASSERT_EQ(allControllers.list().size(), 5u);

    // Every port of the adapters, the empty half of the first one's pair and
    // a port nothing is on.
    std::vector<CA_Port_Name> names{CA_Port_Name::fields(2, 1, 2), CA_Port_Name::fields(7, 3, 15)};
    for (std::size_t k = 0; k < allControllers.list().size(); ++k)
        names.push_back(portOf(*allControllers.list()[k]));
    for (std::size_t k = 0; k < allEndpoints.instances().size(); ++k)
        names.push_back(portOf(*allEndpoints.instances()[k]));
    std::set<std::string> nonEmpty;
    for (const CA_Port_Name& name : names) {
        auto on = [&](const auto& element) { return portOf(element) == name; };
        cimple::VELDARO_FCPort_Resource ports(A);
        cimple::VELDARO_SCSIProtocolEndpoint_Resource endpoints(A);
        cimple::VELDARO_LUNMappingController_Resource controllers(A);
        ASSERT_EQ(ports.createFCPortOn(name), 0);
        ASSERT_EQ(endpoints.createSCSIProtocolEndpointOn(name), 0);
        ASSERT_EQ(controllers.createLUNMappingControllerOn(name), 0);
        const auto every = [](const auto&) { return true; };
        EXPECT_EQ(texts(ports.instances(), fcText, every), texts(allPorts.instances(), fcText, on)) << name.text();
        EXPECT_EQ(texts(endpoints.instances(), endpointText, every), texts(allEndpoints.instances(), endpointText, on))
            << name.text();
        EXPECT_EQ(texts(controllers.list(), controllerText, every), texts(allControllers.list(), controllerText, on))
            << name.text();
        if (ports.instances().size() > 0)
            nonEmpty.insert(fcText(*ports.instances()[0]));
    }
    // The speeds come from each port's own adapter.
    EXPECT_EQ(nonEmpty, (std::set<std::string>{"FCP_CM02CA01P00|5000000000000001|4250000000|2",
                                               "FCP_CM02CA01P01|5000000000000002|8500000000|2",
                                               "FCP_CM02CA01P03|5000000000000003|8500000000|2",
                                               "FCP_CM04CA00P00|5000000000000001|2125000000|2"}));

    for (const char* wwn : {"5000000000000001", "5000000000000004", "5000000000000005", "", "X"}) {
        cimple::VELDARO_SCSIProtocolEndpoint_Resource named(A);
        ASSERT_EQ(named.createSCSIProtocolEndpointNamed(wwn), 0);
        const auto all = [](const auto&) { return true; };
        EXPECT_EQ(texts(named.instances(), endpointText, all),
                  texts(allEndpoints.instances(), endpointText, [&](const auto& e) { return e.Name.value == wwn; }))
            << wwn;
    }
    cimple::VELDARO_SCSIProtocolEndpoint_Resource twice(A);
    ASSERT_EQ(twice.createSCSIProtocolEndpointNamed("5000000000000001"), 0);
    EXPECT_EQ(twice.instances().size(), 2u) << "the WWN the last adapter's port repeats";
}

TEST(OnePortKeys, AKeyNamesThePortOnlyInTheFormItsElementsAreKeyedWith)
{
    const struct {
        const char* key;
        bool named;
    } cases[] = {
        {"FCP_CM02CA01P03", true},   {"LM_CM00CA00P00", false} /* another prefix */,
        {"FCP_CM2CA01P03", false},   {"FCP_CM02CA01P03 ", false},
        {"FCP_CM02CA01P3", false},   {"FCP_", false},
        {"fcp_CM02CA01P03", false},  {nullptr, false},
    };
    for (const auto& c : cases) {
        CA_Port_Name port;
        EXPECT_EQ(CA_Port_Name::ofKey(c.key, "FCP_", port), c.named) << (c.key ? c.key : "null");
        if (c.named) {
            EXPECT_EQ(port.text(), "CM02CA01P03");
        }
    }
}

TEST_F(OnePortBuilders, EachPortAndEndpointReferencesTheImplementationsEnumerationGives)
{
    cimple::CIM_DeviceSAPImplementation_Provider provider;
    Held_List list;
    ASSERT_EQ(assoc_test::enumerate<cimple::CIM_DeviceSAPImplementation>(provider, list), 0);
    EXPECT_EQ(assoc_test::pairs(list, "Antecedent", "Dependent"),
              (std::vector<std::string>{"FCP_CM02CA01P00>5000000000000001", "FCP_CM02CA01P01>5000000000000002",
                                        "FCP_CM02CA01P03>5000000000000003", "FCP_CM04CA00P00>5000000000000001",
                                        "iSCSIP_CM01CA02P00>IP_CM01CA02P00",
                                        "iSCSIP_CM01CA02P00>iqn.2026-12.test:t0,t,0x0043"}));
    for (const char* role : {"Antecedent", "Dependent"}) {
        // Two endpoints share a Name, their key: one source.
        std::map<std::string, const cimple::Instance*> sources;
        for (const auto& a : list)
            sources[assoc_test::keyOf(assoc_test::end(a.get(), role))] = assoc_test::end(a.get(), role);
        for (const auto& [key, source] : sources) {
            Held_List found;
            cimple::Enum_References_Handler<cimple::CIM_DeviceSAPImplementation> h(
                [](cimple::Instance* i, cimple::Enum_References_Status, void* out) {
                    return assoc_test::keep_owned(i, cimple::ENUM_INSTANCES_OK, out);
                },
                &found);
            ASSERT_EQ(provider.enum_references(source, nullptr, role, &h), cimple::ENUM_REFERENCES_OK) << key;
            std::vector<std::string> want;
            for (const auto& a : list)
                if (cimple::key_eq(assoc_test::end(a.get(), role), source))
                    want.push_back(assoc_test::keyOf(assoc_test::end(a.get(), "Antecedent")) + ">" +
                                   assoc_test::keyOf(assoc_test::end(a.get(), "Dependent")));
            EXPECT_EQ(assoc_test::pairs(found, "Antecedent", "Dependent"), want) << role << " " << key;
        }
    }
}

}  // namespace
