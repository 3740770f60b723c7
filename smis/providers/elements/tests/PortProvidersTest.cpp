// FC and Ethernet ports, SCSI endpoints, remote endpoints, host identifiers
// and the configured iSCSI classes, built from the tables of two arrays.
// Live link answers come from the array status cache; an array without an
// entry there is unreachable (its queries answer 0x84).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CMTBuilder.h"
#include "LogCapture.h"
#include "PortProviderFixture.h"
#include "VELDARO_EthernetPort_Provider.h"
#include "VELDARO_FCPort_Provider.h"
#include "VELDARO_IPProtocolEndpoint_Provider.h"
#include "VELDARO_RemoteSCSIProtocolEndpoint_Provider.h"
#include "VELDARO_SCSIProtocolEndpoint_Provider.h"
#include "VELDARO_StorageHardwareID_Provider.h"
#include "VELDARO_StorageHardwareID_Resource.h"
#include "VELDARO_TCPProtocolEndpoint_Provider.h"
#include "VELDARO_iSCSICapabilities_Provider.h"
#include "VELDARO_iSCSIConnectionSettings_Provider.h"
#include "VELDARO_iSCSIProtocolEndpoint_Provider.h"
#include "VELDARO_iSCSISessionSettings_Provider.h"

using namespace cimple;
using smis::test::CMTBuilder;
using smis::test::Collected;

namespace {

constexpr const char* A = "10.0.0.5";
constexpr const char* B = "10.0.0.6";

// The array pads names with NUL bytes (the builder's setters pad with blanks).
std::string nul(const std::string& text, std::size_t width)
{
    std::string out = text;
    out.resize(width, '\0');
    return out;
}

constexpr std::uint16_t PORT_OK = 0xE001;     // operational status 2
constexpr std::uint16_t PORT_ERROR = 0x8000;  // operational status 6

// One CA with its detail record; ports are set through port(p).
struct CA {
    CMTBuilder& b;
    CMT_CAW entry;
    CMT_CADetailRecordW detail;
    CA(CMTBuilder& builder, std::uint32_t itemId, std::uint8_t moduleId, std::uint16_t realType,
       std::uint16_t status = 1)
        : b(builder), entry(builder.ca(itemId)), detail(builder.caDetail(itemId))
    {
        entry.Status(status).ModuleId(moduleId).Type(realType).RealType(realType);
    }
    CMT_CAPortW port(std::size_t p) { return CMTBuilder::caPort(detail, p); }
};

// Array A: CA 0 FC 8G (CM1 CA2 half 1), CA 1 FC 0x5000 kind (CM1 CA0),
// CA 2 iSCSI 1G (module 0x11), CA 3 SAS, CA 4 absent, CA 5 of another
// kind, CA 6 iSCSI 10G (module 0x10); FC/SAS hosts and iSCSI hosts; two
// remote-copy connections.
void buildA(CMTBuilder& b, std::uint32_t brokenItemId = 0)
{
    b.maxCounts({});
    CA fc(b, 0x10004000, 0x69, 0x0600);
    fc.port(0).Status(PORT_OK).PortNo(1).Wwn({0x50, 0, 0, 0xE0, 0xD0, 0, 0, 0x01}).HostConnection(0)
        .TransferRate(0).Factor(0x0A).Class(3).RAMode(4);
    CA fc5(b, 0x10004100, 0x41, 0x5700);
    fc5.port(0).Status(PORT_ERROR).PortNo(0).Wwn({0x50, 0, 0, 0xE0, 0xD0, 0, 0, 0x02}).HostConnection(1)
        .TransferRate(2).Class(2);
    CA iscsi(b, 0x10004200, 0x11, 0x2100);
    iscsi.port(0).Status(PORT_OK).PortNo(0).IPAddress({192, 168, 0, 10}).iSCSISubnetMask({255, 255, 255, 0})
        .MacAddress({0x00, 0x17, 0x42, 0xAA, 0xBB, 0x01}).iSCSIName(nul("iqn.2026-12.com.kestris:t1", 256)).TCPPortNo(3260)
        .iSCSIOption(1).HeaderDigest(0).DataDigest(0).MaxConnections(8).MaxBurstLength(262144)
        .MaxReceiveDataSegmentLength(65536).ReconnectionWaitTime(2).TaskRetainTime(20).ErrorRecoveryLevel(0)
        .TransferRate(0).Factor(0x1F);
    iscsi.port(1).Status(PORT_OK).PortNo(1).IPAddress({192, 168, 0, 11}).iSCSISubnetMask({255, 255, 0, 0})
        .MacAddress({0x00, 0x17, 0x42, 0xAA, 0xBB, 0x02}).iSCSIName(nul("iqn.2026-12.com.kestris:t2", 256)).TCPPortNo(3261)
        .iSCSIOption(0).HeaderDigest(1).DataDigest(0).MaxConnections(4).MaxBurstLength(1048576)
        .MaxReceiveDataSegmentLength(8192).ReconnectionWaitTime(5).TaskRetainTime(60).ErrorRecoveryLevel(2)
        .RAMode(1);
    CA sas(b, 0x10004300, 0x42, 0xA000);
    sas.port(0).Status(PORT_OK).PortNo(0).Wwn({0x50, 0x06, 0x05, 0xB0, 0, 0, 0, 0x03});
    CA absent(b, 0x10004400, 0x43, 0x0600, 0);
    absent.port(0).Status(PORT_OK).Wwn({0x50, 0, 0, 0, 0, 0, 0, 0x04});
    CA other(b, 0x10004500, 0x44, 0x7000);
    other.port(0).Status(PORT_OK).Wwn({0x50, 0, 0, 0, 0, 0, 0, 0x05});
    CA iscsi10(b, 0x10004600, 0x10, 0x3700);
    iscsi10.port(0).Status(PORT_OK).PortNo(1).IPAddress({10, 9, 0, 1}).iSCSISubnetMask({255, 0, 0, 0})
        .MacAddress({0x00, 0x17, 0x42, 0xCC, 0, 0x01}).iSCSIName(nul("iqn.2026-12.com.kestris:t3", 256)).TCPPortNo(3260);
    if (brokenItemId) {
        // A CA whose item id is not of the CA kind: its port status cannot be derived.
        CA broken(b, brokenItemId, 0x45, 0x0600);
        broken.port(0).Status(PORT_OK).Wwn({0x50, 0, 0, 0, 0, 0, 0, 0x07});
    }

    b.host(0).ValidFlag(1).Type(0).WWN({0x5A, 0xBC, 0xDE, 0xF0, 0, 0, 0, 0x01}).Name(nul("HOST0", 16));
    b.host(1).ValidFlag(1).Type(2).WWN({0x50, 0x06, 0x05, 0xB0, 0, 0, 0, 0x11}).Name(nul("SAS1", 16));
    b.host(3).ValidFlag(1).Type(1).WWN({0x21, 0, 0, 0, 0, 0, 0, 0x03}).Name(nul("HPUX3", 16));
    b.host(5).ValidFlag(0).WWN({0x21, 0, 0, 0, 0, 0, 0, 0x05}).Name(nul("GONE", 16));
    b.iscsiHost(0).ValidFlag(1).iSCSIName(nul("iqn.example:h1", 256)).iSCSIIPAddress({192, 168, 1, 9}).FriendlyName(nul("IH1", 16));
    b.iscsiHost(2).ValidFlag(1).iSCSIName(nul("iqn.example:h2", 256)).iSCSIIPAddress({192, 168, 1, 10}).FriendlyName(nul("IH2", 16));

    b.remotePath().BoxID("00KESTRIS##VK200##4500001001############");
    b.remotePath().BoxID(nul("BOX-B", 40));
    b.connectionMap().CAType(0).WWN({0x50, 0, 0, 0xE0, 0xD0, 0, 0x02, 0}).RemotePathNo(0);
    b.connectionMap().CAType(2).iSCSIName(nul("iqn.2026-12.com.kestris:remote", 224)).IPAddress({10, 2, 0, 1}).RemotePathNo(1);
}

// Array B: one FC port and nothing else.
void buildB(CMTBuilder& b)
{
    b.maxCounts({});
    CA fc(b, 0x10004000, 0x40, 0x0600);
    fc.port(0).Status(PORT_OK).PortNo(0).Wwn({0x50, 0, 0, 0xE0, 0xD0, 0, 0x0B, 0x01});
}

class PortProviders : public smis::test::PortProviderFixture {
protected:
    void install(std::uint32_t brokenItemId = 0)
    {
        CMTBuilder a, b;
        buildA(a, brokenItemId);
        buildB(b);
        a.installCmf(A);
        b.installCmf(B);
        configure({A, B});
    }

    template <class Provider, class Model>
    static std::vector<Model*> enumerate(Collected<Model>& out, int expected = 0)
    {
        Provider provider;
        EXPECT_EQ(provider.enum_instances(nullptr, &out), expected);
        return out.got;
    }
};

// field: a pointer to a String property member of Model or of a base of it.
template <class Model, class Field>
std::vector<std::string> names(const std::vector<Model*>& list, Field field)
{
    std::vector<std::string> out;
    for (const Model* m : list)
        out.push_back((m->*field).value.c_str());
    return out;
}

template <class Model, class Field>
const Model* byName(const std::vector<Model*>& list, Field field, const std::string& value)
{
    for (const Model* m : list)
        if (value == (m->*field).value.c_str())
            return m;
    return nullptr;
}

TEST_F(PortProviders, FCPortsOfTheFibreChannelCAs)
{
    install();
    seedLinkStatus(A, 0x10004000, {0xFFFF, 0xFFFF, 0xFFFF, 8});  // published port 3
    Collected<VELDARO_FCPort> out;
    auto list = enumerate<VELDARO_FCPort_Provider>(out);
    EXPECT_EQ(names(list, &VELDARO_FCPort::DeviceID),
              (std::vector<std::string>{"FCP_CM01CA02P03", "FCP_CM01CA00P00", "FCP_CM00CA00P00"}));

    const VELDARO_FCPort* p = list.at(0);
    EXPECT_STREQ(p->SystemName.value.c_str(), A);
    EXPECT_STREQ(p->ElementName.value.c_str(), "FC Port - CM01CA02P03");
    EXPECT_STREQ(p->Caption.value.c_str(), "FC Port");
    EXPECT_STREQ(p->Name.value.c_str(), "500000E0D0000001");
    EXPECT_STREQ(p->PermanentAddress.value.c_str(), "500000E0D0000001");
    EXPECT_STREQ(p->CreationClassName.value.c_str(), "VELDARO_FCPort");
    EXPECT_STREQ(p->SystemCreationClassName.value.c_str(), "VELDARO_StorageComputerSystem");
    EXPECT_EQ(p->PortNumber.value, 3);
    EXPECT_EQ(p->CMSlotNumber.value, 1u);
    EXPECT_EQ(p->CASlotNumber.value, 2u);
    EXPECT_EQ(p->PortNo.value, 3u);
    EXPECT_EQ(p->LinkTechnology.value, 4);
    EXPECT_EQ(p->Speed.value, 8500000000u);
    EXPECT_EQ(p->MaxSpeed.value, 8500000000u);
    EXPECT_EQ(p->PortType.value, 11);
    EXPECT_TRUE(p->AutoSense.value);
    EXPECT_TRUE(p->FullDuplex.value);
    EXPECT_STREQ(p->Factor.value.c_str(), "0x0a");
    EXPECT_EQ(p->UsageRestriction.value, 2);
    EXPECT_EQ(p->SupportedMaximumTransmissionUnit.value, 2118u);
    ASSERT_EQ(p->ActiveCOS.value.size(), 1u);
    EXPECT_EQ(p->ActiveCOS.value[0], 3);
    ASSERT_EQ(p->SupportedFC4Types.value.size(), 1u);
    EXPECT_EQ(p->SupportedFC4Types.value[0], 8);
    ASSERT_EQ(p->OperationalStatus.value.size(), 1u);
    EXPECT_EQ(p->OperationalStatus.value[0], 2);
    EXPECT_STREQ(p->Status.value.c_str(), "OK");
    EXPECT_EQ(p->HealthState.value, 5);

    // The 0x5000 kind: no link answer (unreachable), so no speed.
    const VELDARO_FCPort* q = list.at(1);
    EXPECT_EQ(q->LinkTechnology.value, 2);
    EXPECT_EQ(q->MaxSpeed.value, 10518750000u);
    EXPECT_EQ(q->Speed.value, 0u);
    EXPECT_EQ(q->PortType.value, 10);
    EXPECT_FALSE(q->AutoSense.value);
    EXPECT_EQ(q->OperationalStatus.value[0], 6);
    EXPECT_STREQ(q->Status.value.c_str(), "Error");

    // get_instance compares the keys over every configured array.
    VELDARO_FCPort_Provider provider;
    for (const VELDARO_FCPort* m : list) {
        VELDARO_FCPort* got = nullptr;
        ASSERT_EQ(provider.get_instance(m, got), 0) << m->DeviceID.value.c_str();
        EXPECT_TRUE(key_eq(got, m));
        destroy(got);
    }
    VELDARO_FCPort* model = list.at(0)->clone();
    model->DeviceID.set("FCP_CM07CA03P03");
    VELDARO_FCPort* got = nullptr;
    EXPECT_EQ(provider.get_instance(model, got), 60);
    EXPECT_EQ(got, nullptr);
    destroy(model);
}

TEST_F(PortProviders, UnreachableArrayStopsFCLinkQueriesButNotEthernetOnes)
{
    install();
    // The channel traces each query it refuses for an unreachable array.
    const bool traceBefore = Pegasus::Tracer::setTraceOn(true);
    smis::test::LogCapture logs;
    auto timeouts = [&] {
        std::size_t n = 0;
        for (const auto& t : logs.traces())
            n += t.message.find("getCAPortLinkStatus Timeout") != std::string::npos;
        return n;
    };
    Collected<VELDARO_FCPort> fc;
    auto fcList = enumerate<VELDARO_FCPort_Provider>(fc);
    EXPECT_EQ(fcList.size(), 3u);
    for (const VELDARO_FCPort* p : fcList)
        EXPECT_EQ(p->Speed.value, 0u);
    EXPECT_EQ(timeouts(), 2u) << "one query per array, none after the first 0x84";

    logs.clear();
    Collected<VELDARO_EthernetPort> eth;
    auto ethList = enumerate<VELDARO_EthernetPort_Provider>(eth);
    EXPECT_EQ(ethList.size(), 3u);
    for (const VELDARO_EthernetPort* p : ethList)
        EXPECT_EQ(p->Speed.value, 0u);
    EXPECT_EQ(timeouts(), 2u) << "one query per iSCSI CA";
    Pegasus::Tracer::setTraceOn(traceBefore);
}

TEST_F(PortProviders, EthernetPortsOfTheiSCSICAs)
{
    install();
    seedLinkStatus(A, 0x10004200, {0x0A00, 0xFFFF});
    Collected<VELDARO_EthernetPort> out;
    auto list = enumerate<VELDARO_EthernetPort_Provider>(out);
    EXPECT_EQ(names(list, &VELDARO_EthernetPort::DeviceID),
              (std::vector<std::string>{"iSCSIP_CM01CA01P00", "iSCSIP_CM01CA01P01", "iSCSIP_CM00CA01P01"}));
    const VELDARO_EthernetPort* p = list.at(0);
    EXPECT_STREQ(p->ElementName.value.c_str(), "iSCSIP_CM01CA01P00");
    EXPECT_STREQ(p->Caption.value.c_str(), "iSCSI Port");
    EXPECT_STREQ(p->Name.value.c_str(), "192.168.0.10");
    EXPECT_STREQ(p->PermanentAddress.value.c_str(), "001742AABB01");
    ASSERT_EQ(p->NetworkAddresses.value.size(), 1u);
    EXPECT_STREQ(p->NetworkAddresses.value[0].c_str(), "192.168.0.10");
    EXPECT_EQ(p->Speed.value, 100000000u);
    EXPECT_EQ(p->MaxSpeed.value, 1000000000u);
    EXPECT_EQ(p->PortType.value, 105);
    EXPECT_EQ(p->LinkTechnology.value, 2);
    EXPECT_EQ(p->RealType.value, 0x2100);
    EXPECT_STREQ(p->Factor.value.c_str(), "0x1f");
    EXPECT_TRUE(p->AutoSense.value);
    EXPECT_EQ(list.at(1)->Speed.value, 0u);  // link word 0xFFFF
    EXPECT_EQ(list.at(2)->MaxSpeed.value, 10000000000u);
}

TEST_F(PortProviders, BrokenPortStatusFailsTheEnumerationButNotAGetOnAnotherArray)
{
    install(0x20004700);
    Collected<VELDARO_FCPort> out;
    auto list = enumerate<VELDARO_FCPort_Provider>(out, 70);
    EXPECT_TRUE(list.empty()) << "nothing of a failed array, nothing after it";

    VELDARO_FCPort* model = VELDARO_FCPort::create(true);
    model->SystemCreationClassName.set("VELDARO_StorageComputerSystem");
    model->SystemName.set(B);
    model->CreationClassName.set("VELDARO_FCPort");
    model->DeviceID.set("FCP_CM00CA00P00");
    VELDARO_FCPort* got = nullptr;
    VELDARO_FCPort_Provider provider;
    EXPECT_EQ(provider.get_instance(model, got), 0);
    if (got)
        destroy(got);
    destroy(model);
}

TEST_F(PortProviders, SCSIEndpointsOfFCAndSASPortsOnly)
{
    install();
    Collected<VELDARO_SCSIProtocolEndpoint> out;
    auto list = enumerate<VELDARO_SCSIProtocolEndpoint_Provider>(out);
    EXPECT_EQ(names(list, &VELDARO_SCSIProtocolEndpoint::ElementName),
              (std::vector<std::string>{"FC Port - CM01CA02P03", "FC Port - CM01CA00P00", "SAS Port - CM02CA00P00",
                                        "FC Port - CM00CA00P00"}));
    const VELDARO_SCSIProtocolEndpoint* fc = list.at(0);
    EXPECT_STREQ(fc->Name.value.c_str(), "500000E0D0000001");
    EXPECT_STREQ(fc->NameFormat.value.c_str(), "WWN");
    EXPECT_STREQ(fc->Caption.value.c_str(), "SCSI Protocol End Point");
    EXPECT_EQ(fc->ConnectionType.value, 2);
    EXPECT_EQ(fc->Role.value, 3);
    EXPECT_EQ(fc->ProtocolIFType.value, 1);
    EXPECT_STREQ(fc->OtherTypeDescription.value.c_str(), "SCSI");
    EXPECT_EQ(fc->RAMode.value, 4u);
    EXPECT_EQ(fc->PortNo.value, 3u);
    EXPECT_STREQ(list.at(1)->Status.value.c_str(), "Error");
    const VELDARO_SCSIProtocolEndpoint* sas = list.at(2);
    EXPECT_EQ(sas->ConnectionType.value, 8);
    EXPECT_STREQ(sas->Name.value.c_str(), "500605B000000003");
}

TEST_F(PortProviders, RemoteEndpointsOfTheConnectionMap)
{
    install();
    Collected<VELDARO_RemoteSCSIProtocolEndpoint> out;
    auto list = enumerate<VELDARO_RemoteSCSIProtocolEndpoint_Provider>(out);
    ASSERT_EQ(list.size(), 2u);
    const auto* fc = list[0];
    EXPECT_STREQ(fc->Name.value.c_str(), "500000E0D0000200");
    EXPECT_STREQ(fc->ElementName.value.c_str(), "Remote FC Port - 500000E0D0000200");
    EXPECT_STREQ(fc->NameFormat.value.c_str(), "WWN");
    EXPECT_EQ(fc->ConnectionType.value, 2);
    EXPECT_STREQ(fc->SystemName.value.c_str(), "00KESTRIS##VK200##4500001001############_10.0.0.5");
    EXPECT_STREQ(fc->Status.value.c_str(), "Unknown");
    ASSERT_EQ(fc->OperationalStatus.value.size(), 1u);
    EXPECT_EQ(fc->OperationalStatus.value[0], 0);
    const auto* is = list[1];
    EXPECT_STREQ(is->Name.value.c_str(), "iqn.2026-12.com.kestris:remote_10.2.0.1");
    EXPECT_STREQ(is->ElementName.value.c_str(), "Remote iSCSI Port - iqn.2026-12.com.kestris:remote");
    EXPECT_STREQ(is->NameFormat.value.c_str(), "iSCSI Name and IP Address");
    EXPECT_EQ(is->ConnectionType.value, 7);
    EXPECT_STREQ(is->SystemName.value.c_str(), "BOX-B_10.0.0.5");
    EXPECT_STREQ(is->CreationClassName.value.c_str(), "VELDARO_RemoteSCSIProtocolEndpoint");
}

TEST_F(PortProviders, HardwareIdentifiersOfBothHostTables)
{
    install();
    Collected<VELDARO_StorageHardwareID> out;
    auto list = enumerate<VELDARO_StorageHardwareID_Provider>(out);
    EXPECT_EQ(names(list, &VELDARO_StorageHardwareID::InstanceID),
              (std::vector<std::string>{"VELDARO:SHI5ABCDEF000000001_10.0.0.5", "VELDARO:SHI500605B000000011_10.0.0.5",
                                        "VELDARO:SHI2100000000000003_10.0.0.5",
                                        "VELDARO:SHIiqn.example:h1_192.168.1.9_10.0.0.5",
                                        "VELDARO:SHIiqn.example:h2_192.168.1.10_10.0.0.5"}));
    std::vector<int> types;
    for (const auto* h : list)
        types.push_back(h->IDType.value);
    EXPECT_EQ(types, (std::vector<int>{2, 6, 2, 5, 5}));
    EXPECT_STREQ(list[0]->StorageID.value.c_str(), "5ABCDEF000000001");
    EXPECT_STREQ(list[0]->ElementName.value.c_str(), "HOST0");
    EXPECT_STREQ(list[0]->Caption.value.c_str(), "Storage HardwareID");
    EXPECT_STREQ(list[3]->StorageID.value.c_str(), "iqn.example:h1");
    EXPECT_STREQ(list[3]->ElementName.value.c_str(), "IH1");

    // Every enumerated identifier is found again by its key, with its kind.
    VELDARO_StorageHardwareID_Provider provider;
    for (const auto* h : list) {
        VELDARO_StorageHardwareID* got = nullptr;
        ASSERT_EQ(provider.get_instance(h, got), 0) << h->InstanceID.value.c_str();
        EXPECT_EQ(got->IDType.value, h->IDType.value) << h->InstanceID.value.c_str();
        destroy(got);
    }
    for (const char* key : {"VELDARO:SHIiqn.example:h1_192.168.1.10_10.0.0.5",  // other address
                            "VELDARO:SHI2100000000000005_10.0.0.5",             // slot not in use
                            "VELDARO:SHI5ABCDEF000000001_10.0.0.7",             // array not configured
                            "VELDARO:SHI5ABCDEF000000001"}) {                   // no address
        VELDARO_StorageHardwareID* model = VELDARO_StorageHardwareID::create(true);
        model->InstanceID.set(key);
        VELDARO_StorageHardwareID* got = nullptr;
        EXPECT_EQ(provider.get_instance(model, got), 60) << key;
        EXPECT_EQ(got, nullptr);
        destroy(model);
    }
}

TEST(StorageHardwareIDKey, DivideInstanceID)
{
    const std::string id224(224, 'i');
    struct Case {
        std::string key;
        bool ok;
        std::string identifier, address;
    } cases[] = {
        {"VELDARO:SHI5ABCDEF000000001_10.0.0.5", true, "5ABCDEF000000001", ""},
        {"VELDARO:SHIiqn.example:h1_192.168.1.9_10.0.0.5", true, "iqn.example:h1", "192.168.1.9"},
        {"VELDARO:SHIx_123.123.123.1234_10.0.0.5", false, "", ""},  // address of 16 characters
        {"VELDARO:SHIx_123.123.123.123_10.0.0.5", true, "x", "123.123.123.123"},
        {"VELDARO:SHI" + id224 + "_10.0.0.5", true, id224, ""},
        {"VELDARO:SHI" + id224 + "i_10.0.0.5", false, "", ""},
        {"VELDARO:SHI" + std::string(257, 'i'), false, "", ""},
        {"VELDARO:SHInoaddress", false, "", ""},
        {"VELDARO:SHI", false, "", ""},
        {"OTHER:SHIx_10.0.0.5", false, "", ""},
        {"", false, "", ""},
    };
    for (const Case& c : cases) {
        char identifier[VELDARO_StorageHardwareID_Resource::IDENTIFIER_SIZE] = {};
        char address[VELDARO_StorageHardwareID_Resource::ADDRESS_SIZE] = {};
        EXPECT_EQ(VELDARO_StorageHardwareID_Resource::divide_InstanceID(c.key.c_str(), identifier, address), c.ok)
            << c.key;
        if (c.ok) {
            EXPECT_EQ(identifier, c.identifier) << c.key;
            EXPECT_EQ(address, c.address) << c.key;
        }
    }
    char identifier[VELDARO_StorageHardwareID_Resource::IDENTIFIER_SIZE];
    EXPECT_FALSE(VELDARO_StorageHardwareID_Resource::divide_InstanceID(nullptr, identifier, nullptr));
    EXPECT_TRUE(VELDARO_StorageHardwareID_Resource::divide_InstanceID("VELDARO:SHIa_b_c", identifier, nullptr));
    EXPECT_STREQ(identifier, "a");
}

TEST(StorageHardwareIDKey, KeyPropertiesOnly)
{
    VELDARO_StorageHardwareID_Resource resource(String("10.0.0.5"));
    VELDARO_StorageHardwareID* h = VELDARO_StorageHardwareID::create(true);
    ASSERT_EQ(resource.setKeyProperties(h, "21000024FF000001", nullptr), 0);
    EXPECT_STREQ(h->InstanceID.value.c_str(), "VELDARO:SHI21000024FF000001_0.0.0.0_10.0.0.5");
    EXPECT_EQ(h->InstanceID.null, 0);
    EXPECT_EQ(h->IDType.null, 1);
    EXPECT_EQ(h->StorageID.null, 1);
    EXPECT_EQ(h->ElementName.null, 1);
    ASSERT_EQ(resource.setKeyProperties(h, "iqn.x", "10.1.1.1"), 0);
    EXPECT_STREQ(h->InstanceID.value.c_str(), "VELDARO:SHIiqn.x_10.1.1.1_10.0.0.5");
    destroy(h);
}

TEST_F(PortProviders, ConfiguredISCSIClassesOfTheiSCSIPorts)
{
    install();

    Collected<VELDARO_iSCSIProtocolEndpoint> targets;
    auto t = enumerate<VELDARO_iSCSIProtocolEndpoint_Provider>(targets);
    EXPECT_EQ(names(t, &VELDARO_iSCSIProtocolEndpoint::Name),
              (std::vector<std::string>{"iqn.2026-12.com.kestris:t1,t,0x0023", "iqn.2026-12.com.kestris:t2,t,0x0024",
                                        "iqn.2026-12.com.kestris:t3,t,0x0022"}));
    const auto* t2 = t.at(1);
    EXPECT_STREQ(t2->Identifier.value.c_str(), "000000000024");  // module 0x11, port byte 1
    EXPECT_STREQ(t2->ElementName.value.c_str(), "iSP_CM01CA01P01");
    EXPECT_STREQ(t2->NameFormat.value.c_str(), "iSCSI Port Name");
    EXPECT_EQ(t2->ConnectionType.value, 7);
    EXPECT_EQ(t2->Role.value, 3);
    EXPECT_EQ(t2->RAMode.value, 1u);
    EXPECT_STREQ(t2->SystemName.value.c_str(), A);

    Collected<VELDARO_IPProtocolEndpoint> ips;
    auto ip = enumerate<VELDARO_IPProtocolEndpoint_Provider>(ips);
    EXPECT_EQ(names(ip, &VELDARO_IPProtocolEndpoint::Name),
              (std::vector<std::string>{"IP_CM01CA01P00", "IP_CM01CA01P01", "IP_CM00CA01P01"}));
    EXPECT_STREQ(ip.at(1)->IPv4Address.value.c_str(), "192.168.0.11");
    EXPECT_STREQ(ip.at(1)->SubnetMask.value.c_str(), "255.255.0.0");
    EXPECT_STREQ(ip.at(1)->NameFormat.value.c_str(), "Type and Port");
    EXPECT_EQ(ip.at(1)->ProtocolIFType.value, 4096);

    Collected<VELDARO_TCPProtocolEndpoint> tcps;
    auto tcp = enumerate<VELDARO_TCPProtocolEndpoint_Provider>(tcps);
    const auto* t3 = byName(tcp, &VELDARO_TCPProtocolEndpoint::Name, "TCP_CM00CA01P01");
    ASSERT_NE(t3, nullptr);
    EXPECT_EQ(t3->PortNumber.value, 3260u);
    EXPECT_EQ(t3->ProtocolIFType.value, 4111);
    EXPECT_STREQ(t3->ElementName.value.c_str(), "TCP_CM00CA01P01");

    Collected<VELDARO_iSCSIConnectionSettings> conns;
    auto cs = enumerate<VELDARO_iSCSIConnectionSettings_Provider>(conns);
    EXPECT_EQ(names(cs, &VELDARO_iSCSIConnectionSettings::InstanceID),
              (std::vector<std::string>{"VELDARO:iSCS_CM01CA01P00_10.0.0.5", "VELDARO:iSCS_CM01CA01P01_10.0.0.5",
                                        "VELDARO:iSCS_CM00CA01P01_10.0.0.5"}));
    EXPECT_EQ(cs.at(0)->PrimaryAuthenticationMethod.value, 5);  // option bit 0
    EXPECT_EQ(cs.at(0)->PrimaryHeaderDigestMethod.value, 2);
    EXPECT_EQ(cs.at(0)->PrimaryDataDigestMethod.value, 2);
    EXPECT_EQ(cs.at(0)->MaxReceiveDataSegmentLength.value, 65536u);
    EXPECT_EQ(cs.at(1)->PrimaryAuthenticationMethod.value, 3);
    EXPECT_EQ(cs.at(1)->PrimaryHeaderDigestMethod.value, 3);
    EXPECT_EQ(cs.at(1)->SecondaryDataDigestMethod.value, 4);
    EXPECT_EQ(cs.at(1)->SecondaryAuthenticationMethod.value, 2);
    EXPECT_FALSE(cs.at(1)->RequestingMarkersOnReceive.value);

    Collected<VELDARO_iSCSISessionSettings> sess;
    auto ss = enumerate<VELDARO_iSCSISessionSettings_Provider>(sess);
    ASSERT_EQ(ss.size(), 3u);
    const auto* s = ss[1];
    EXPECT_STREQ(s->InstanceID.value.c_str(), "VELDARO:iSSS_CM01CA01P01_10.0.0.5");
    EXPECT_STREQ(s->ElementName.value.c_str(), "iSCSI Session Settings");
    EXPECT_EQ(s->MaxConnectionsPerSession.value, 4u);
    EXPECT_EQ(s->MaxDataBurstLength.value, 1048576u);
    EXPECT_EQ(s->DefaultTimeToWaitPreference.value, 5u);
    EXPECT_EQ(s->DefaultTimeToRetainPreference.value, 60u);
    EXPECT_EQ(s->ErrorRecoveryLevelPreference.value, 2u);
    EXPECT_FALSE(s->ImmediateDataPreference.value);
    EXPECT_TRUE(s->InitialR2TPreference.value);
    EXPECT_EQ(s->MaxUnsolicitedFirstDataBurstLength.value, 65536u);

    // One capabilities instance per array, with or without iSCSI ports.
    Collected<VELDARO_iSCSICapabilities> caps;
    auto c = enumerate<VELDARO_iSCSICapabilities_Provider>(caps);
    EXPECT_EQ(names(c, &VELDARO_iSCSICapabilities::InstanceID),
              (std::vector<std::string>{"VELDARO:iSCSICapabilities_10.0.0.5", "VELDARO:iSCSICapabilities_10.0.0.6"}));
    ASSERT_EQ(c.at(1)->AuthenticationMethodsSupported.value.size(), 2u);
    EXPECT_EQ(c.at(1)->AuthenticationMethodsSupported.value[1], 4);

    VELDARO_iSCSISessionSettings_Provider provider;
    VELDARO_iSCSISessionSettings* got = nullptr;
    ASSERT_EQ(provider.get_instance(s, got), 0);
    EXPECT_EQ(got->MaxConnectionsPerSession.value, 4u);
    destroy(got);
}

}  // namespace
