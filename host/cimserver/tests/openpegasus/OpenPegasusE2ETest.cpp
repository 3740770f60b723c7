// The provider module under the real OpenPegasus, beside cimserver, on one
// simulated scenario: profile discovery from the interop name space, equal
// answers for every registered class and the associator names of every
// instance, every name OpenPegasus answers fetched back through it, a volume
// made and returned through the module, and the indication of its creation
// at a listener subscribed through OpenPegasus.
#include "CimClient.h"
#include "CimserverProcess.h"
#include "ComparableAnswer.h"
#include "IndicationListener.h"
#include "OpenPegasusServer.h"
#include "ReferenceWalk.h"
#include "SimulatedServer.h"
#include "SubscriptionClient.h"

#include <ArraysimProcess.hpp>
#include "BuildTree.h"
#include <TempInstallDir.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <set>
#include <stdexcept>
#include <string>

namespace cimserver::test {
namespace {

using std::chrono::seconds;

// Polls as often as the module allows, so changes are seen soon.
const std::vector<std::string> FAST_POLLING = {"PollingInterval=60", "DeviceStatusInterval=30"};

std::string instances_request(const std::string& class_name)
{
    return CimClient::imethod("EnumerateInstances",
                              CimClient::class_param("ClassName", class_name) +
                                  "<IPARAMVALUE NAME=\"LocalOnly\"><VALUE>FALSE</VALUE></IPARAMVALUE>"
                                  "<IPARAMVALUE NAME=\"DeepInheritance\"><VALUE>TRUE</VALUE></IPARAMVALUE>");
}

// The classes the registration MOF registers for the module, each with
// whether it is an association; indication classes (no instances) aside.
std::map<std::string, bool> registered_classes()
{
    std::ifstream in(testsupport::BuildTree::directory() + "/mof/arrayprov-registration.mof");
    std::stringstream text;
    text << in.rdbuf();
    const std::string mof = text.str();
    static const std::regex CAPABILITY(R"re(ClassName = "(\w+)";\s*Namespaces = \{[^}]*\};\s*ProviderType = \{([^}]*)\})re");
    std::map<std::string, bool> out;
    for (std::sregex_iterator m(mof.begin(), mof.end(), CAPABILITY), end; m != end; ++m) {
        const std::string types = (*m)[2];
        if (types.find('4') == std::string::npos)
            out[(*m)[1]] = types.find('3') != std::string::npos;
    }
    return out;
}

// The paths of the array name space: the interop side (registered profiles
// and the rest of the interop model) is each server's own.
std::set<std::string> array_side(const std::set<std::string>& paths)
{
    std::set<std::string> out;
    for (const std::string& p : paths)
        if (p.rfind("root/kestris:", 0) == 0)
            out.insert(p);
    return out;
}

// A client's standard profile discovery: the registered profiles in
// interop, the Array profile of SNIA (organization 11) among them, and the
// systems that conform to it through CIM_ElementConformsToProfile
// ("namespace:name").
std::set<std::string> discovered_arrays(CimClient& client)
{
    CimReply profiles;
    client.call("EnumerateInstances",
                CimClient::imethod("EnumerateInstances", CimClient::class_param("ClassName", "CIM_RegisteredProfile"),
                                   "interop"),
                profiles);
    EXPECT_EQ(profiles.error_code, 0) << profiles.body;
    std::string array;
    for (pugi::xml_node named : profiles.all("VALUE.NAMEDINSTANCE")) {
        pugi::xml_node inst = named.child("INSTANCE");
        auto value = [&](const char* name) {
            return std::string(inst.find_child_by_attribute("PROPERTY", "NAME", name).child("VALUE").text().get());
        };
        if (value("RegisteredName") == "Array" && value("RegisteredOrganization") == "11")
            array = CimClient::raw(named.child("INSTANCENAME"));
    }
    EXPECT_FALSE(array.empty()) << "no Array profile of organization 11 in interop\n" << profiles.body;
    if (array.empty())
        return {};
    CimReply conforming;
    client.call("AssociatorNames",
                CimClient::imethod("AssociatorNames",
                                   "<IPARAMVALUE NAME=\"ObjectName\">" + array + "</IPARAMVALUE>" +
                                       CimClient::class_param("AssocClass", "CIM_ElementConformsToProfile") +
                                       CimClient::class_param("ResultClass", "CIM_ComputerSystem"),
                                   "interop"),
                conforming);
    EXPECT_EQ(conforming.error_code, 0) << conforming.body;
    return comparable_paths(conforming);
}

// The names discovery should find: each array's storage system in root/kestris.
std::set<std::string> array_systems(const testsupport::ArraysimProcess& sim)
{
    std::set<std::string> out;
    for (const std::string& address : sim.addresses())
        out.insert("root/kestris:VELDARO_StorageComputerSystem.CreationClassName=VELDARO_StorageComputerSystem,Name=" +
                   address + ",");
    return out;
}

// The method's return value; empty when the answer holds none.
std::string return_value(const CimReply& reply)
{
    return reply.doc.select_node("//RETURNVALUE/VALUE").node().text().get();
}

// cimserver on the same simulator, from an install directory of its own
// (its polled tables apart from the other server's).
struct EmbeddedServer {
    explicit EmbeddedServer(const testsupport::ArraysimProcess& sim) : server(configured(sim))
    {
        CimserverProcess::wait_for_tables(install.path(), sim.addresses());
    }

    std::string configured(const testsupport::ArraysimProcess& sim)
    {
        std::vector<std::string> env = FAST_POLLING;
        for (std::size_t i = 0; i < sim.arrayCount(); ++i)
            env.push_back("StorageIP=" + sim.address(i) + "," + std::to_string(sim.port(i)));
        install.writeEnv(env);
        return install.path();
    }

    smis::test::TempInstallDir install;
    CimserverProcess server;
};

// The simulator with OpenPegasus serving it through the module, the arrays'
// command line reachable. Made per test; a missing third-party or module
// build fails the test, naming what to build.
class OpenPegasusE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        try {
            OpenPegasusServer::require_builds();
        } catch (const std::exception& e) {
            FAIL() << e.what();
        }
        sim = std::make_unique<testsupport::ArraysimProcess>("small");
        install = std::make_unique<smis::test::TempInstallDir>();
        ASSERT_NO_FATAL_FAILURE(prepare_install_with_command_line(*sim, *install, FAST_POLLING));
        try {
            pegasus = std::make_unique<OpenPegasusServer>(install->path());
        } catch (const std::exception& e) {
            FAIL() << e.what();
        }
        // The server loads the module at its first request; the module then
        // starts polling the arrays.
        CimClient client(pegasus->port());
        CimReply first;
        client.call("EnumerateInstanceNames",
                    CimClient::imethod("EnumerateInstanceNames",
                                       CimClient::class_param("ClassName", "VELDARO_StorageComputerSystem")),
                    first);
        ASSERT_EQ(first.http_status, 200) << pegasus->output();
        // A module that does not load fails here, not after the wait.
        ASSERT_EQ(first.error_code, 0) << first.body << pegasus->output();
        CimserverProcess::wait_for_tables(install->path(), sim->addresses());
    }

    void TearDown() override
    {
        if (pegasus) {
            EXPECT_EQ(pegasus->stop(), 0) << pegasus->output();
        }
    }

    std::unique_ptr<testsupport::ArraysimProcess> sim;
    std::unique_ptr<smis::test::TempInstallDir> install;
    std::unique_ptr<OpenPegasusServer> pegasus;
};

TEST(OpenPegasusBuilds, AMissingThirdPartyBuildFailsNamingWhatToBuild)
{
    smis::test::TempInstallDir empty;
    const char* before = std::getenv("SMIS_THIRD_PARTY_CACHE");
    const std::string kept = before ? before : "";
    setenv("SMIS_THIRD_PARTY_CACHE", empty.path().c_str(), 1);
    std::string message;
    try {
        OpenPegasusServer server(empty.path());
    } catch (const std::runtime_error& e) {
        message = e.what();
    }
    before ? setenv("SMIS_THIRD_PARTY_CACHE", kept.c_str(), 1) : unsetenv("SMIS_THIRD_PARTY_CACHE");
    EXPECT_NE(message.find("scripts/third-party.sh"), std::string::npos) << message;
}

TEST_F(OpenPegasusE2E, ProfileDiscoveryFromInteropFindsEachArraysSystemOnBothServers)
{
    CimClient through_pegasus(pegasus->port());
    EXPECT_EQ(discovered_arrays(through_pegasus), array_systems(*sim)) << pegasus->output();

    EmbeddedServer embedded(*sim);
    CimClient through_cimserver(embedded.server.port());
    EXPECT_EQ(discovered_arrays(through_cimserver), array_systems(*sim));
}

TEST_F(OpenPegasusE2E, EveryRegisteredClassAndEveryAssociationAnswerEqualTheEmbeddedServersAndEveryReferenceResolves)
{
    EmbeddedServer embedded(*sim);
    CimClient pegasus_client(pegasus->port()), embedded_client(embedded.server.port());
    ReferenceWalk walk(pegasus_client);
    const auto classes = registered_classes();
    ASSERT_GT(classes.size(), 100u);
    // Instance names (as OpenPegasus answers them) of the classes that are
    // not associations: the sources of the association answers.
    std::map<std::string, std::string> sources;
    for (const auto& [cls, association] : classes) {
        SCOPED_TRACE(cls);
        CimReply through_pegasus, through_cimserver;
        pegasus_client.call("EnumerateInstances", instances_request(cls), through_pegasus);
        embedded_client.call("EnumerateInstances", instances_request(cls), through_cimserver);
        ASSERT_EQ(through_cimserver.error_code, 0) << through_cimserver.body;
        walk.enumerated(cls, through_pegasus);
        // A copy session's WhenSynced is the time stamp the server's own
        // cache gave the session's record.
        EXPECT_EQ(differences(comparable_instances(through_cimserver), comparable_instances(through_pegasus),
                              {"WhenSynced"}),
                  "")
            << "(through cimserver | through OpenPegasus)";
        if (!association)
            for (pugi::xml_node named : through_pegasus.all("VALUE.NAMEDINSTANCE"))
                sources.emplace(comparable_name(named.child("INSTANCENAME")),
                                CimClient::raw(named.child("INSTANCENAME")));
    }
    EXPECT_GT(sources.size(), 100u);
    for (const auto& [name, xml] : sources) {
        SCOPED_TRACE(name);
        const std::string request = CimClient::imethod(
            "AssociatorNames", "<IPARAMVALUE NAME=\"ObjectName\">" + xml + "</IPARAMVALUE>");
        CimReply through_pegasus, through_cimserver;
        pegasus_client.call("AssociatorNames", request, through_pegasus);
        embedded_client.call("AssociatorNames", request, through_cimserver);
        walk.associated(name, through_pegasus);
        EXPECT_EQ(array_side(comparable_paths(through_pegasus)), array_side(comparable_paths(through_cimserver)));
    }
    const std::vector<std::string> problems = walk.problems();
    std::string listed;
    for (const std::string& p : problems)
        listed += p + "\n";
    EXPECT_TRUE(problems.empty()) << problems.size() << " problems of reference integrity through OpenPegasus:\n"
                                  << listed;
}

TEST_F(OpenPegasusE2E, AVolumeMadeAndReturnedThroughTheModuleIsIndicatedToASubscribedListener)
{
    // Subscribed through OpenPegasus's own interop name space.
    IndicationListener listener;
    SubscriptionClient subscriptions(pegasus->port());
    const std::string filter = subscriptions.createFilter("e2e-creations", "SELECT * FROM CIM_InstCreation");
    ASSERT_FALSE(filter.empty()) << subscriptions.last().body << pegasus->output();
    const std::string destination = subscriptions.createDestination("e2e-listener", listener.url());
    ASSERT_FALSE(destination.empty()) << subscriptions.last().body;
    ASSERT_FALSE(subscriptions.createSubscription(filter, destination).empty()) << subscriptions.last().body;

    const std::string address = sim->address(0);
    const std::string service = CimClient::configuration_service(address);
    CimClient client(pegasus->port());
    CimReply made;
    client.call("CreateOrModifyElementFromStoragePool",
                CimClient::method("CreateOrModifyElementFromStoragePool", service,
                                  "<PARAMVALUE NAME=\"ElementName\" PARAMTYPE=\"string\"><VALUE>THROUGHOP</VALUE></PARAMVALUE>"
                                  "<PARAMVALUE NAME=\"ElementType\" PARAMTYPE=\"uint16\"><VALUE>5</VALUE></PARAMVALUE>"
                                  "<PARAMVALUE NAME=\"Size\" PARAMTYPE=\"uint64\"><VALUE>104857600</VALUE></PARAMVALUE>"
                                  "<PARAMVALUE NAME=\"InPool\" PARAMTYPE=\"reference\"><VALUE.REFERENCE>" +
                                      CimClient::thin_pool(address) + "</VALUE.REFERENCE></PARAMVALUE>"),
                made);
    ASSERT_EQ(return_value(made), "0") << made.body << pegasus->output();
    auto volume = made.doc.select_node("//PARAMVALUE[@NAME='TheElement']/VALUE.REFERENCE");
    ASSERT_TRUE(volume) << made.body;

    // Reported at the latest after the module's next poll.
    EXPECT_FALSE(listener.waitFor({"CLASSNAME=\"CIM_InstCreation\"", "VELDARO_StorageVolume", "THROUGHOP"}, seconds(180))
                     .empty())
        << listener.received() << " indications arrived\n"
        << pegasus->output();

    CimReply returned;
    client.call("ReturnToStoragePool",
                CimClient::method("ReturnToStoragePool", service,
                                  "<PARAMVALUE NAME=\"TheElement\" PARAMTYPE=\"reference\">" +
                                      CimClient::raw(volume.node()) + "</PARAMVALUE>"),
                returned);
    EXPECT_EQ(return_value(returned), "0") << returned.body;
}

} // namespace
} // namespace cimserver::test
