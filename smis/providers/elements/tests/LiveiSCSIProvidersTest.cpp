// Live iSCSI sessions, connections and statistics and the remote-copy
// connectivity collections: what the array reports comes from entries of
// its status cache; an array without an entry is unreachable (0x84).

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "CMTBuilder.h"
#include "LogCapture.h"
#include "PortProviderFixture.h"
#include "SMIS_Vorpak.h"
#include "VELDARO_ConnectivityCollection_Provider.h"
#include "VELDARO_iSCSIConnection_Provider.h"
#include "VELDARO_iSCSISessionStatistics_Provider.h"
#include "VELDARO_iSCSISession_Provider.h"

using namespace cimple;
using smis::test::CMTBuilder;
using smis::test::Collected;

namespace {

constexpr const char* A = "10.0.0.5";
constexpr const char* B = "10.0.0.6";  // no iSCSI CA
constexpr const char* C = "10.0.0.7";  // iSCSI CA, never answers

struct Login {
    std::string initiator;
    std::vector<std::uint8_t> isid;
    std::uint16_t tsih;
    std::uint16_t connectionId = 1;
    std::uint8_t sessionType = 1, auth = 2, mutual = 0, headerDigest = 1, dataDigest = 1;
};

std::vector<std::uint8_t> loginRecord(const Login& l)
{
    std::vector<std::uint8_t> r(320, 0);
    std::memcpy(r.data(), l.initiator.data(), std::min<std::size_t>(l.initiator.size(), 224));
    smis::storeLE16(&r[256], l.tsih);
    std::memcpy(&r[258], l.isid.data(), 6);
    smis::storeLE16(&r[264], l.connectionId);
    r[266] = l.sessionType;
    r[272] = l.auth;
    r[273] = l.mutual;
    r[274] = l.headerDigest;
    r[275] = l.dataDigest;
    r[276] = 1;    // initial R2T
    r[277] = 0;    // immediate data
    r[278] = 1;    // error recovery level
    smis::storeLE16(&r[280], 3);
    smis::storeLE32(&r[288], 262144);
    smis::storeLE32(&r[292], 65536);
    smis::storeLE32(&r[296], 1048576);
    smis::storeLE32(&r[300], 65536);
    smis::storeLE16(&r[304], 4);
    r[306] = 2;
    r[308] = 1;
    r[309] = 0;
    smis::storeLE16(&r[312], 2);
    smis::storeLE16(&r[314], 20);
    r[316] = 1;
    r[317] = 0;
    return r;
}

const Login H1{"iqn.example:h1", {0x40, 0x00, 0x01, 0x37, 0x00, 0x00}, 0x0012, 1, 1, 16, 2, 2, 1};
const Login H2{"iqn.example:h2", {0x40, 0x00, 0x01, 0x37, 0x00, 0x01}, 0x0013, 7, 2, 32, 0, 0, 2};

void iscsiCA(CMTBuilder& b, std::uint32_t itemId, std::uint8_t moduleId, std::vector<std::uint8_t> portNos)
{
    b.ca(itemId).Status(1).ModuleId(moduleId).Type(0x2100).RealType(0x2100);
    CMT_CADetailRecordW d = b.caDetail(itemId);
    for (std::size_t p = 0; p < portNos.size(); ++p)
        CMTBuilder::caPort(d, p).Status(0xE001).PortNo(portNos[p]);
}

class LiveProviders : public smis::test::PortProviderFixture {
protected:
    // A: CA 0 module 0x10 (CM0 CA1) ports 0, 1; CA 1 module 0x18 (CM0 CA1,
    // other half) port byte 2. B: one FC CA. C: like A's CA 0.
    void install()
    {
        CMTBuilder a, b, c;
        a.maxCounts({});
        iscsiCA(a, 0x10004000, 0x10, {0, 1});
        iscsiCA(a, 0x10004100, 0x18, {2});
        b.maxCounts({});
        b.ca(0x10004000).Status(1).ModuleId(0x40).Type(0x0600).RealType(0x0600);
        CMTBuilder::caPort(b.caDetail(0x10004000), 0).Status(0xE001);
        c.maxCounts({});
        iscsiCA(c, 0x10004000, 0x10, {0});
        a.installCmf(A);
        b.installCmf(B);
        c.installCmf(C);
        configure({A, B, C});
    }

    static void seedLogins(const char* address, std::uint8_t moduleId, std::uint8_t portNo,
                           const std::vector<Login>& logins)
    {
        std::vector<std::uint8_t> data;
        for (const Login& l : logins) {
            auto r = loginRecord(l);
            data.insert(data.end(), r.begin(), r.end());
        }
        const std::uint8_t key[2] = {moduleId, portNo};
        ASSERT_EQ(cache().SetExTableInfo(address, SMIS_CMTAccess::EX_ISCSI_LOGIN, key,
                                         data.empty() ? nullptr : data.data(), 320,
                                         static_cast<unsigned>(logins.size()), 0),
                  0);
    }

    static void seedStatistics(const char* address, std::uint8_t moduleId, std::uint8_t portNo, const Login& l,
                               std::uint32_t commands)
    {
        std::uint8_t request[240] = {};
        request[0] = moduleId;
        request[1] = portNo;
        std::memcpy(request + 8, l.initiator.data(), l.initiator.size());
        smis::storeLE16(request + 232, l.tsih);
        std::memcpy(request + 234, l.isid.data(), 6);
        std::uint8_t reply[64] = {};
        smis::storeLE32(reply + 0, commands);
        smis::storeLE32(reply + 4, commands + 1);
        smis::storeLE64(reply + 8, 0x1'0000'0002ULL);
        smis::storeLE64(reply + 16, 77);
        smis::storeLE32(reply + 24, 5);
        smis::storeLE32(reply + 28, 6);
        ASSERT_EQ(cache().SetExTableInfo(address, SMIS_CMTAccess::EX_ISCSI_STATISTICS, request, reply, sizeof reply,
                                         1, 0),
                  0);
    }

    // Logins of A: two on CA 0 port 0, none on port 1, H1 again on CA 1.
    void seedA()
    {
        seedLogins(A, 0x10, 0, {H1, H2});
        seedLogins(A, 0x10, 1, {});
        seedLogins(A, 0x18, 2, {H1});
    }

    template <class Provider, class Model>
    static std::vector<Model*> enumerate(Collected<Model>& out)
    {
        Provider provider;
        EXPECT_EQ(provider.enum_instances(nullptr, &out), 0);
        return out.got;
    }

    template <class Model>
    static std::vector<std::string> ids(const std::vector<Model*>& list)
    {
        std::vector<std::string> out;
        for (const Model* m : list)
            out.push_back(m->InstanceID.value.c_str());
        return out;
    }
};

TEST_F(LiveProviders, SessionsAndConnectionsOfEveryLogin)
{
    install();
    seedA();

    Collected<VELDARO_iSCSISession> sessions;
    auto s = enumerate<VELDARO_iSCSISession_Provider>(sessions);
    // The key names CM and CA but no port: H1 on both halves gives one key twice.
    EXPECT_EQ(ids(s), (std::vector<std::string>{"VELDARO:iSS_iqn.example:h1,i,0x400001370000_0x0012_00_01_10.0.0.5",
                                                "VELDARO:iSS_iqn.example:h2,i,0x400001370001_0x0013_00_01_10.0.0.5",
                                                "VELDARO:iSS_iqn.example:h1,i,0x400001370000_0x0012_00_01_10.0.0.5"}));
    const VELDARO_iSCSISession* h1 = s.at(0);
    EXPECT_STREQ(h1->iSCSIPortName.value.c_str(), "iqn.example:h1,i,0x400001370000_0x0012");
    EXPECT_STREQ(h1->EndPointName.value.c_str(), "iqn.example:h1");
    EXPECT_STREQ(h1->Caption.value.c_str(), "iSCSI Session");
    EXPECT_EQ(h1->SessionType.value, 2);
    EXPECT_EQ(s.at(1)->SessionType.value, 3);
    EXPECT_EQ(h1->TSIH.value, 0x12u);
    EXPECT_EQ(h1->Directionality.value, 2);
    EXPECT_EQ(h1->CurrentConnections.value, 2u);
    EXPECT_TRUE(h1->InitialR2T.value);
    EXPECT_FALSE(h1->ImmediateData.value);
    EXPECT_TRUE(h1->DataPDUInOrder.value);
    EXPECT_FALSE(h1->DataSequenceInOrder.value);
    EXPECT_EQ(h1->MaxOutstandingR2T.value, 3u);
    EXPECT_EQ(h1->MaxDataBurstLength.value, 1048576u);
    EXPECT_EQ(h1->MaxUnsolicitedFirstDataBurstLength.value, 65536u);
    EXPECT_EQ(h1->MaxConnectionsPerSession.value, 4u);
    EXPECT_EQ(h1->ErrorRecoveryLevel.value, 1u);
    EXPECT_EQ(h1->DefaultTimeToRetain.value, 20u);
    EXPECT_EQ(s.at(2)->PortNo.value, 2u);

    Collected<VELDARO_iSCSIConnection> connections;
    auto c = enumerate<VELDARO_iSCSIConnection_Provider>(connections);
    ASSERT_EQ(c.size(), 3u);
    const VELDARO_iSCSIConnection* c1 = c[0];
    EXPECT_STREQ(c1->InstanceID.value.c_str(), "VELDARO:iSCiqn.example:h1,i,0x400001370000_0x0012_00_01_10.0.0.5");
    EXPECT_EQ(c1->ConnectionID.value, 1u);
    EXPECT_EQ(c1->HeaderDigestMethod.value, 3);
    EXPECT_EQ(c1->DataDigestMethod.value, 2);
    EXPECT_EQ(c1->AuthenticationMethodUsed.value, 3);
    EXPECT_TRUE(c1->MutualAuthentication.value);
    EXPECT_TRUE(c1->SendingMarkers.value);
    EXPECT_FALSE(c1->ReceivingMarkers.value);
    EXPECT_FALSE(c1->ActiveiSCSIVersion.value);
    EXPECT_EQ(c1->MaxReceiveDataSegmentLength.value, 262144u);
    EXPECT_EQ(c1->MaxTransmitDataSegmentLength.value, 65536u);
    const VELDARO_iSCSIConnection* c2 = c[1];
    EXPECT_EQ(c2->HeaderDigestMethod.value, 1);
    EXPECT_EQ(c2->AuthenticationMethodUsed.value, 4);
    EXPECT_FALSE(c2->MutualAuthentication.value);

    // get_instance finds a live instance by its key.
    VELDARO_iSCSIConnection_Provider provider;
    VELDARO_iSCSIConnection* got = nullptr;
    ASSERT_EQ(provider.get_instance(c2, got), 0);
    EXPECT_EQ(got->ConnectionID.value, 7u);
    destroy(got);
}

TEST_F(LiveProviders, AnArrayThatCannotTellItsLoginsShowsNone)
{
    install();
    seedLogins(A, 0x10, 0, {H1, H2});  // port 1 and CA 1 of A unanswered
    Collected<VELDARO_iSCSISession> sessions;
    EXPECT_TRUE(enumerate<VELDARO_iSCSISession_Provider>(sessions).empty());

    // C alone unreachable: A is still reported.
    seedA();
    Collected<VELDARO_iSCSIConnection> connections;
    auto c = enumerate<VELDARO_iSCSIConnection_Provider>(connections);
    EXPECT_EQ(c.size(), 3u);
    for (const auto* x : c)
        EXPECT_STREQ(x->InstanceID.value.c_str() + std::strlen(x->InstanceID.value.c_str()) - 8, "10.0.0.5");
}

TEST_F(LiveProviders, StatisticsOfEveryLoginWithCounters)
{
    install();
    seedA();
    seedStatistics(A, 0x10, 0, H1, 100);
    seedStatistics(A, 0x10, 0, H2, 200);
    seedStatistics(A, 0x18, 2, H1, 300);

    Collected<VELDARO_iSCSISessionStatistics> stats;
    auto s = enumerate<VELDARO_iSCSISessionStatistics_Provider>(stats);
    ASSERT_EQ(s.size(), 3u);
    const auto* first = s[0];
    EXPECT_STREQ(first->InstanceID.value.c_str(),
                 "VELDARO:iSSSTATS_iqn.example:h1,i,0x400001370000_0x0012_00_01_10.0.0.5");
    EXPECT_STREQ(first->ElementName.value.c_str(), "iSCSI Session Statistics");
    EXPECT_EQ(first->CommandPDUsTransferred.value, 100u);
    EXPECT_EQ(first->ResponsePDUsTransferred.value, 101u);
    EXPECT_EQ(first->BytesTransmitted.value, 0x1'0000'0002ULL);
    EXPECT_EQ(first->BytesReceived.value, 77u);
    EXPECT_EQ(first->DigestErrors.value, 5u);
    EXPECT_EQ(first->ConnectionTimeoutErrors.value, 6u);
    EXPECT_EQ(s[1]->CommandPDUsTransferred.value, 200u);
    EXPECT_EQ(s[2]->CommandPDUsTransferred.value, 300u);
    EXPECT_EQ(s[2]->PortNo.value, 2u);
}

TEST_F(LiveProviders, AStatisticsQueryThatFailsEmptiesTheArraysStatistics)
{
    install();
    seedA();
    seedStatistics(A, 0x10, 0, H1, 100);  // H2 and CA 1's login unanswered
    Collected<VELDARO_iSCSISessionStatistics> stats;
    EXPECT_TRUE(enumerate<VELDARO_iSCSISessionStatistics_Provider>(stats).empty());

    // A login without an initiator name is refused as a bad request (32).
    seedLogins(A, 0x10, 0, {Login{"", {0, 0, 0, 0, 0, 1}, 1}});
    seedLogins(A, 0x18, 2, {});
    Collected<VELDARO_iSCSISessionStatistics> again;
    EXPECT_TRUE(enumerate<VELDARO_iSCSISessionStatistics_Provider>(again).empty());
}

// The remote-path block as the status cache keeps it: box count at 0,
// records of 176 bytes from 4.
struct Box {
    std::string id;
    std::vector<std::uint8_t> states;
    int countByte = -1;  // the record's path count when not states.size()
};

void seedPaths(const char* address, const std::vector<Box>& boxes)
{
    std::vector<std::uint8_t> block(SMIS_Vorpak::PATH_BLOCK_SIZE, 0);
    block[0] = static_cast<std::uint8_t>(boxes.size());
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        std::uint8_t* r = block.data() + SMIS_Vorpak::PATH_BLOCK_RECORDS + 176 * i;
        std::memcpy(r, boxes[i].id.data(), std::min<std::size_t>(boxes[i].id.size(), 40));
        r[40] = static_cast<std::uint8_t>(boxes[i].countByte >= 0 ? boxes[i].countByte : boxes[i].states.size());
        for (std::size_t j = 0; j < boxes[i].states.size(); ++j)
            r[51 + 16 * j] = boxes[i].states[j];
    }
    SMIS_CMTAccess* cache = SMIS_CMTAccess::getInstance();
    ASSERT_NE(cache, nullptr);
    ASSERT_EQ(cache->SetExTableInfo(address, SMIS_CMTAccess::EX_XMIRREX_PATH, nullptr, block.data(),
                                    static_cast<unsigned>(block.size()), 1, 0),
              0);
}

TEST_F(LiveProviders, ConnectivityOfEachRemoteBox)
{
    install();
    const std::string full40 = "00KESTRIS##VK200##4500001001############";
    seedPaths(A, {{"B1", {0, 1, 0, 2}},
                  {"B2", {0, 0, 0, 0}},
                  {"B3", {}},
                  {"B4", {1, 3}},
                  {full40, {0}},
                  // A count byte beyond what a record holds: only its 8 entries count.
                  {"B6", {0, 0, 0, 0, 0, 0, 0, 1}, 200}});
    seedPaths(B, {});

    Collected<VELDARO_ConnectivityCollection> out;
    smis::test::LogCapture logs;
    auto list = enumerate<VELDARO_ConnectivityCollection_Provider>(out);
    EXPECT_EQ(ids(list), (std::vector<std::string>{"VELDARO:CCL_B1_10.0.0.5", "VELDARO:CCL_B2_10.0.0.5",
                                                   "VELDARO:CCL_B3_10.0.0.5", "VELDARO:CCL_B4_10.0.0.5",
                                                   "VELDARO:CCL_" + full40 + "_10.0.0.5", "VELDARO:CCL_B6_10.0.0.5"}));
    std::vector<int> status;
    for (const auto* c : list)
        status.push_back(c->ConnectivityStatus.value);
    EXPECT_EQ(status, (std::vector<int>{4, 2, 3, 3, 2, 4}));
    EXPECT_STREQ(list.at(4)->BoxID.value.c_str(), full40.c_str());
    EXPECT_STREQ(list.at(0)->Caption.value.c_str(), "Connectivity Collection");
    // C cannot be asked: no collections from it, and the failure is logged.
    EXPECT_TRUE(logs.hasLog("Generation of Instance went wrong."));

    VELDARO_ConnectivityCollection_Provider provider;
    VELDARO_ConnectivityCollection* got = nullptr;
    ASSERT_EQ(provider.get_instance(list.at(1), got), 0);
    EXPECT_EQ(got->ConnectivityStatus.value, 2);
    destroy(got);
}

}  // namespace
