// cimserver over HTTPS as a deployment runs it: a login (--auth-file) taken
// over TLS only, TLS 1.2 and 1.3 served and older versions refused, clients
// that stall or botch their handshake costing nobody else, and start-up
// refusing settings that would expose the login or cannot serve TLS.
#include "BuildTree.h"
#include "CimClient.h"
#include "CimserverProcess.h"
#include "RawHttp.h"
#include "SimulatedServer.h"
#include "TestCertificate.h"

#include <ArraysimLogin.h>
#include <ClientProcess.hpp>
#include <TempInstallDir.h>

#include <gtest/gtest.h>
#include <openssl/ssl.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

namespace cimserver::test {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

const char* const INTEROP = "interop";

size_t count_of(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        n++;
    return n;
}

class CimserverHttpsE2E : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        cert = std::make_unique<TestCertificate>();
        setup = std::make_unique<SimulatedServer>("small", cert->https_arguments({"--poll-interval", "3600"}));
        server = &setup->server;
        // Volumes are made through the array's command line.
        setup->sim.installPlink(setup->install.path());
        testsupport::storeArraysimLogin(setup->sim.address(0));
        CimserverProcess::wait_for_tables(setup->install.path(), {setup->sim.address(0)});
    }
    static void TearDownTestSuite()
    {
        EXPECT_EQ(server->stop(), 0) << server->output();
        setup.reset();
        cert.reset();
    }

    static TlsOptions trusted(int min_version = 0, int max_version = 0)
    {
        return {min_version, max_version, cert->ca_file()};
    }
    static std::string get_class()
    {
        return RawHttp::request("GetClass", CimClient::imethod("GetClass", CimClient::class_param(
                                                                               "ClassName", "CIM_ManagedElement")));
    }
    // A new HTTPS client answers a small request within limit (one that
    // waited for a worker held by a stalled handshake would wait for the
    // stalled client's idle time of 15 s).
    static void answers_within(milliseconds limit)
    {
        auto start = Clock::now();
        RawHttp probe(server->https_port(), trusted());
        ASSERT_TRUE(probe.connected()) << probe.tls_error();
        ASSERT_TRUE(probe.send(get_class()));
        HttpResponse r;
        ASSERT_TRUE(probe.read(r, limit)) << "no answer within " << limit.count() << " ms";
        EXPECT_EQ(r.status, 200);
        EXPECT_LT(Clock::now() - start, limit);
    }

    static std::unique_ptr<TestCertificate> cert;
    static std::unique_ptr<SimulatedServer> setup;
    static CimserverProcess* server;
};

std::unique_ptr<TestCertificate> CimserverHttpsE2E::cert;
std::unique_ptr<SimulatedServer> CimserverHttpsE2E::setup;
CimserverProcess* CimserverHttpsE2E::server;

// A client that checks the certificate logs in with Basic authentication,
// walks from the registered profiles in interop to the array's system, and
// makes and deletes a volume. The plain port does not listen: the login is
// never taken in clear.
TEST_F(CimserverHttpsE2E, BasicLoginOverHttpsDiscoversTheArrayAndMakesAndDeletesAVolume)
{
    EXPECT_LT(server->port(), 0) << "plain HTTP listens beside --auth-file without --allow-plain-auth";
    ASSERT_GT(server->https_port(), 0);
    const std::string address = setup->sim.address(0);

    CimReply r;
    CimClient stranger(server->https_port(), Https{cert->ca_file()}, "tester", "wrong");
    stranger.call("EnumerateInstanceNames",
                  CimClient::imethod("EnumerateInstanceNames", CimClient::class_param("ClassName", "CIM_RegisteredProfile"),
                                     INTEROP),
                  r);
    EXPECT_EQ(r.http_status, 401);

    CimClient client(server->https_port(), Https{cert->ca_file()});
    client.call("EnumerateInstanceNames",
                CimClient::imethod("EnumerateInstanceNames", CimClient::class_param("ClassName", "CIM_RegisteredProfile"),
                                   INTEROP),
                r);
    ASSERT_EQ(r.http_status, 200) << r.body;
    auto array_profile = r.doc.select_node("//INSTANCENAME[KEYBINDING[@NAME='InstanceID']/KEYVALUE='VELDARO:Array']");
    ASSERT_TRUE(array_profile) << r.body;
    client.call("AssociatorNames",
                CimClient::imethod("AssociatorNames",
                                   "<IPARAMVALUE NAME=\"ObjectName\">" + CimClient::raw(array_profile.node()) + "</IPARAMVALUE>" +
                                       CimClient::class_param("AssocClass", "CIM_ElementConformsToProfile") +
                                       CimClient::class_param("ResultClass", "CIM_ComputerSystem"),
                                   INTEROP),
                r);
    ASSERT_EQ(r.http_status, 200) << r.body;
    auto systems = r.all("INSTANCENAME");
    ASSERT_EQ(systems.size(), 1u) << r.body;
    EXPECT_STREQ(systems[0].attribute("CLASSNAME").value(), "VELDARO_StorageComputerSystem");
    EXPECT_NE(CimClient::raw(systems[0]).find(address), std::string::npos) << r.body;

    const std::string service = CimClient::configuration_service(address);
    const std::string pool = "<INSTANCENAME CLASSNAME=\"VELDARO_RAIDStoragePool\">" +
                             CimClient::key("InstanceID", "VELDARO:RSP0000_" + address) + "</INSTANCENAME>";
    const std::string success = "<RETURNVALUE PARAMTYPE=\"uint32\"><VALUE>0</VALUE>";
    CimReply made;
    client.call("CreateOrModifyElementFromStoragePool",
                CimClient::method("CreateOrModifyElementFromStoragePool", service,
                                  "<PARAMVALUE NAME=\"ElementName\" PARAMTYPE=\"string\"><VALUE>TLSVOL</VALUE></PARAMVALUE>"
                                  "<PARAMVALUE NAME=\"ElementType\" PARAMTYPE=\"uint16\"><VALUE>2</VALUE></PARAMVALUE>"
                                  "<PARAMVALUE NAME=\"Size\" PARAMTYPE=\"uint64\"><VALUE>104857600</VALUE></PARAMVALUE>"
                                  "<PARAMVALUE NAME=\"InPool\" PARAMTYPE=\"reference\"><VALUE.REFERENCE>" +
                                      pool + "</VALUE.REFERENCE></PARAMVALUE>"),
                made);
    ASSERT_NE(made.body.find(success), std::string::npos) << made.body;
    auto volume = made.doc.select_node("//PARAMVALUE[@NAME='TheElement']/VALUE.REFERENCE//INSTANCENAME");
    ASSERT_TRUE(volume) << made.body;
    client.call("GetInstance",
                CimClient::imethod("GetInstance", "<IPARAMVALUE NAME=\"InstanceName\">" + CimClient::raw(volume.node()) +
                                                      "</IPARAMVALUE>"),
                r);
    ASSERT_EQ(r.error_code, 0) << r.body;
    EXPECT_NE(r.body.find("TLSVOL"), std::string::npos) << r.body;

    client.call("ReturnToStoragePool",
                CimClient::method("ReturnToStoragePool", service,
                                  "<PARAMVALUE NAME=\"TheElement\" PARAMTYPE=\"reference\"><VALUE.REFERENCE>" +
                                      CimClient::raw(volume.node()) + "</VALUE.REFERENCE></PARAMVALUE>"),
                r);
    EXPECT_NE(r.body.find(success), std::string::npos) << r.body;
}

// TLS 1.2 and 1.3 are served; an older version is refused in the handshake.
TEST_F(CimserverHttpsE2E, TlsOneTwoAndOneThreeAreServedOlderVersionsRefused)
{
    struct Case {
        const char* what;
        int version;
        bool served;
    } cases[] = {
        {"TLS 1.2", TLS1_2_VERSION, true},
        {"TLS 1.3", TLS1_3_VERSION, true},
        {"TLS 1.1", TLS1_1_VERSION, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RawHttp client(server->https_port(), trusted(c.version, c.version));
        if (!c.served) {
            EXPECT_FALSE(client.connected());
            EXPECT_NE(client.tls_error().find("protocol version"), std::string::npos) << client.tls_error();
            continue;
        }
        ASSERT_TRUE(client.connected()) << client.tls_error();
        EXPECT_EQ(client.tls_version(), c.version);
        ASSERT_TRUE(client.send(get_class()));
        HttpResponse r;
        ASSERT_TRUE(client.read(r, milliseconds(5000)));
        EXPECT_EQ(r.status, 200);
        // The connection is kept: a second request on it is answered too.
        ASSERT_TRUE(client.send(get_class()));
        ASSERT_TRUE(client.read(r, milliseconds(5000)));
        EXPECT_EQ(r.status, 200);
    }
}

// Clients that open TLS and stall (silent, or part of a ClientHello) hold no
// worker and nobody's answer; clients that send what is not TLS lose only
// their own connection, and the server reports such failures once, not
// once each.
TEST_F(CimserverHttpsE2E, StalledAndBotchedHandshakesHoldNoOneElse)
{
    std::vector<std::unique_ptr<RawHttp>> stalled;
    for (int i = 0; i < 24; i++) {
        stalled.push_back(std::make_unique<RawHttp>(server->https_port()));
        ASSERT_TRUE(stalled.back()->connected());
        if (i % 2)
            stalled.back()->send(std::string("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03", 11));
    }
    std::this_thread::sleep_for(milliseconds(200));
    answers_within(milliseconds(5000));

    const size_t reported = count_of(server->output(), "TLS handshake with");
    for (int i = 0; i < 8; i++) {
        RawHttp botched(server->https_port());
        ASSERT_TRUE(botched.send(get_class())); // plain HTTP on the TLS port
        EXPECT_TRUE(botched.closed_within(milliseconds(5000)));
    }
    answers_within(milliseconds(5000));
    EXPECT_LE(count_of(server->output(), "TLS handshake with"), reported + 1) << server->output();
    EXPECT_GT(count_of(server->output(), "TLS handshake with"), 0u) << server->output();
}

// Settings that would send the login in clear or cannot serve HTTPS stop the
// server at start-up with a message naming what to change.
TEST(CimserverHttpsStartUp, SettingsThatExposeTheLoginOrCannotServeTlsAreRefused)
{
    TestCertificate cert;
    TestCertificate other;
    smis::test::TempInstallDir install;
    const std::string auth = install.path() + "/auth";
    std::ofstream(auth) << "tester:s3cret\n";
    struct Case {
        const char* what;
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {"login over plain HTTP", {"--auth-file", auth}, "--allow-plain-auth"},
        {"HTTPS without a certificate", {"--https-port", "0"}, "--https-port needs --cert and --key"},
        {"certificate without HTTPS", {"--cert", cert.cert_file(), "--key", cert.key_file()}, "--https-port"},
        {"key of another certificate",
         {"--https-port", "0", "--cert", cert.cert_file(), "--key", other.key_file()},
         "does not belong to the certificate"},
        {"no such certificate",
         {"--https-port", "0", "--cert", install.path() + "/none.pem", "--key", cert.key_file()},
         "cannot use the certificate in"},
        {"the certificate as the key",
         {"--https-port", "0", "--cert", cert.cert_file(), "--key", cert.cert_file()},
         "cannot use the private key in"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> argv = {testsupport::BuildTree::program("cimserver"), "--port", "0", "--no-polling"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        testsupport::ClientProcess p(argv, "", {"SMIS_INSTALL_DIR=" + install.path()});
        const std::string out = p.readUntil("\x01", 20000);
        EXPECT_EQ(p.wait(20000), 2) << out;
        EXPECT_NE(out.find(c.message), std::string::npos) << out;
    }
}

// A client that discovers the server from the interop model (the object
// manager, then its communication mechanisms) finds exactly the protocols
// that listen, each named by a URL it can reach, whichever way it came in;
// references name the server by the listener the client used.
TEST(CimserverHttpsAdvert, InteropNamesExactlyTheListeningProtocols)
{
    TestCertificate cert;
    smis::test::TempInstallDir install;
    const std::vector<std::string> https = {"--https-port", "0", "--cert", cert.cert_file(), "--key",
                                            cert.key_file()};
    struct Case {
        const char* what;
        bool http;
        bool https;
    } cases[] = {
        {"HTTP only", true, false},
        {"HTTPS only (the login in clear refused)", false, true},
        {"both (--allow-plain-auth)", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> args = {"--no-polling"};
        if (c.https)
            args.insert(args.end(), https.begin(), https.end());
        if (c.https && c.http)
            args.push_back("--allow-plain-auth");
        CimserverProcess server(install.path(), args);
        ASSERT_EQ(server.port() > 0, c.http) << server.output();
        ASSERT_EQ(server.https_port() > 0, c.https) << server.output();

        std::set<std::string> listening;
        if (c.http)
            listening.insert("http://127.0.0.1:" + std::to_string(server.port()));
        if (c.https)
            listening.insert("https://127.0.0.1:" + std::to_string(server.https_port()));

        struct Way {
            std::unique_ptr<CimClient> client;
            int port;
        };
        std::vector<Way> ways;
        if (c.http)
            ways.push_back({std::make_unique<CimClient>(server.port()), server.port()});
        if (c.https)
            ways.push_back({std::make_unique<CimClient>(server.https_port(), Https{cert.ca_file()}),
                            server.https_port()});
        for (Way& way : ways) {
            SCOPED_TRACE("through port " + std::to_string(way.port));
            const std::string host = "127.0.0.1:" + std::to_string(way.port);
            CimReply r;
            way.client->call("EnumerateInstanceNames",
                             CimClient::imethod("EnumerateInstanceNames",
                                                CimClient::class_param("ClassName", "CIM_ObjectManager"), INTEROP),
                             r);
            auto managers = r.all("INSTANCENAME");
            ASSERT_EQ(managers.size(), 1u) << r.body;
            way.client->call("AssociatorNames",
                             CimClient::imethod("AssociatorNames",
                                                "<IPARAMVALUE NAME=\"ObjectName\">" + CimClient::raw(managers[0]) +
                                                    "</IPARAMVALUE>" +
                                                    CimClient::class_param("AssocClass", "CIM_CommMechanismForManager"),
                                                INTEROP),
                             r);
            ASSERT_EQ(r.error_code, 0) << r.body;
            std::set<std::string> advertised;
            for (pugi::xml_node path : r.all("INSTANCEPATH")) {
                EXPECT_STREQ(path.child("NAMESPACEPATH").child_value("HOST"), host.c_str()) << r.body;
                advertised.insert(
                    path.select_node("INSTANCENAME/KEYBINDING[@NAME='Name']/KEYVALUE").node().child_value());
            }
            EXPECT_EQ(advertised, listening) << r.body;

            // The server system hosts the same access points.
            way.client->call("EnumerateInstanceNames",
                             CimClient::imethod("EnumerateInstanceNames",
                                                CimClient::class_param("ClassName", "CIM_HostedAccessPoint"), INTEROP),
                             r);
            std::set<std::string> hosted;
            for (auto name : r.all("INSTANCENAME"))
                if (auto url = name.select_node(".//INSTANCENAME[@CLASSNAME='VELDARO_CIMXMLCommunicationMechanism']"
                                                "/KEYBINDING[@NAME='Name']/KEYVALUE"))
                    hosted.insert(url.node().child_value());
            EXPECT_EQ(hosted, listening) << r.body;
        }
        EXPECT_EQ(server.stop(), 0) << server.output();
    }
}

} // namespace
} // namespace cimserver::test
