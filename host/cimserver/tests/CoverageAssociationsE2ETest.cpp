// End to end on the simulated two-array "coverage" scenario (remote copy
// between the arrays): the remote access points, network pipes, collection
// members, spares and copy relationships through wbemcli, and over every
// class whose provider has its own code: enumeration, associator names and
// reference names of each association agree, and every served instance
// answers unfiltered Associators and References.
#include "CimClient.h"
#include "CimserverProcess.h"

#include <ArraysimProcess.hpp>
#include <TempInstallDir.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace cimserver::test {
namespace {

class CoverageAssociationsE2E : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        sim = std::make_unique<testsupport::ArraysimProcess>("coverage", std::vector<std::string>{"--distinct-addresses"});
        install = std::make_unique<smis::test::TempInstallDir>();
        std::vector<std::string> env;
        for (std::size_t i = 0; i < sim->arrayCount(); ++i)
            env.push_back("StorageIP=" + sim->address(i) + "," + std::to_string(sim->port(i)));
        install->writeEnv(env);
        server = std::make_unique<CimserverProcess>(install->path());
        // The associations read the configuration table, the copy sessions
        // and the status records: start once the polling service has stored
        // them for every array.
        CimserverProcess::wait_for_tables(install->path(), sim->addresses(), {".cmf", ".cps", ".ext"});
    }
    static void TearDownTestSuite()
    {
        EXPECT_EQ(server->stop(), 0) << server->output();
        server.reset();
        install.reset();
        sim.reset();
    }

    static std::string names(const std::string& cls)
    {
        CommandResult r = CimserverProcess::wbemcli({"-nl", "ein", server->url(":" + cls)});
        EXPECT_EQ(r.status, 0) << cls << ": " << r.err;
        return r.out;
    }

    static std::unique_ptr<testsupport::ArraysimProcess> sim;
    static std::unique_ptr<smis::test::TempInstallDir> install;
    static std::unique_ptr<CimserverProcess> server;
};

std::unique_ptr<testsupport::ArraysimProcess> CoverageAssociationsE2E::sim;
std::unique_ptr<smis::test::TempInstallDir> CoverageAssociationsE2E::install;
std::unique_ptr<CimserverProcess> CoverageAssociationsE2E::server;

std::string raw(const pugi::xml_node& node)
{
    std::ostringstream s;
    node.print(s, "", pugi::format_raw);
    return s.str();
}

// The instance name of each element of an answer's return value (the
// first INSTANCENAME inside it; the later ones are its references), printed
// raw and sorted.
std::vector<std::string> returnedNames(const CimReply& r)
{
    std::vector<std::string> out;
    for (auto value : r.all("IRETURNVALUE"))
        for (auto element : value.children())
            if (auto name = element.select_node("descendant-or-self::INSTANCENAME").node())
                out.push_back(raw(name));
    std::sort(out.begin(), out.end());
    return out;
}

// The classes of the provider table whose providers are still the
// generator's placeholders (rows without "hand-written").
std::set<std::string> placeholderClasses()
{
    std::ifstream table(std::string(SMIS_SOURCE_DIR) + "/smis/providers/module/gen/providers.table");
    std::set<std::string> out;
    for (std::string line; std::getline(table, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream words(line);
        std::string cls, word;
        words >> cls;
        bool handWritten = false;
        while (words >> word)
            handWritten = handWritten || word == "hand-written";
        if (!handWritten)
            out.insert(cls);
    }
    return out;
}

// Each line of wbemcli's names that holds every one of the texts.
bool anyLineHolds(const std::string& lines, const std::vector<std::string>& texts)
{
    std::istringstream in(lines);
    for (std::string line; std::getline(in, line);)
        if (std::all_of(texts.begin(), texts.end(), [&](const std::string& t) { return line.find(t) != std::string::npos; }))
            return true;
    return false;
}

TEST_F(CoverageAssociationsE2E, AccessPointsPipesMembersSparesAndCopiesThroughWbemcli)
{
    const std::string sap = names("CIM_SAPAvailableForElement");
    EXPECT_TRUE(anyLineHolds(sap, {"VELDARO_RemoteServiceAccessPoint", "VELDARO_StorageComputerSystem"})) << sap;
    // The scenario's affinity groups sit on a port that is not in affinity
    // mode: no endpoint is available to them.
    EXPECT_FALSE(anyLineHolds(sap, {"ProtocolEndpoint", "VELDARO_AffinityGroupController"})) << sap;
    EXPECT_TRUE(anyLineHolds(sap, {"ProtocolEndpoint", "VELDARO_LUNMappingController"})) << sap;
    // The remote path of the scenario leaves from the remote-copy port of the
    // FC endpoint 500000E0D0010300.
    EXPECT_TRUE(anyLineHolds(sap, {"500000E0D0010300", "VELDARO_StorageVolume"})) << sap;

    const std::string pipes = names("CIM_EndpointOfNetworkPipe");
    EXPECT_TRUE(anyLineHolds(pipes, {"VELDARO_iSCSIProtocolEndpoint", "VELDARO_iSCSISession"})) << pipes;
    EXPECT_TRUE(anyLineHolds(pipes, {"VELDARO_TCPProtocolEndpoint", "VELDARO_iSCSIConnection"})) << pipes;
    const std::string composed = names("CIM_NetworkPipeComposition");
    EXPECT_TRUE(anyLineHolds(composed, {"VELDARO_iSCSISession", "VELDARO_iSCSIConnection"})) << composed;

    const std::string members = names("CIM_MemberOfCollection");
    EXPECT_TRUE(anyLineHolds(members, {"VELDARO_StorageRedundancySet", "VELDARO_DiskExtent"})) << members;
    EXPECT_TRUE(anyLineHolds(members, {"VELDARO_ConnectivityCollection", "500000E0D0010300"})) << members;
    EXPECT_TRUE(anyLineHolds(members, {"VELDARO_ConnectivityCollection", "VELDARO_RemoteSCSIProtocolEndpoint"}))
        << members;

    const std::string spares = names("CIM_IsSpare");
    EXPECT_TRUE(anyLineHolds(spares, {"VELDARO_DiskExtent", "VELDARO_StorageRedundancySet"})) << spares;

    const std::string copies = names("CIM_StorageSynchronized");
    EXPECT_TRUE(anyLineHolds(copies, {"VELDARO_StorageVolume", "VELDARO_RemoteStorageVolume"})) << copies;
    const std::string pools = names("CIM_ReplicaPoolForStorage");
    EXPECT_TRUE(anyLineHolds(pools, {"VELDARO_StorageVolume", "VELDARO_SnapDataPool"})) << pools;
}

// Of every association whose provider has its own code: from the ends of
// its enumerated instances, ReferenceNames gives exactly the enumerated
// instances that hold that end in that role, and AssociatorNames exactly
// their far ends.
TEST_F(CoverageAssociationsE2E, EnumerationAssociatorsAndReferencesAgree)
{
    constexpr std::size_t ENDS_PER_ROLE = 24;
    CimClient client(server->port());
    const auto all = repository_classes(client);
    std::size_t checked = 0;
    for (const auto& [cls, instanceNames] : landed_classes(client)) {
        if (!all.at(cls))
            continue;
        SCOPED_TRACE(cls);
        // (role, end) -> the association names and the far ends (other role).
        std::map<std::pair<std::string, std::string>, std::vector<std::string>> byEnd, farOf;
        std::map<std::pair<std::string, std::string>, std::string> otherRole;
        pugi::xml_document doc;
        for (const std::string& name : instanceNames) {
            ASSERT_TRUE(doc.load_string(name.c_str()));
            std::vector<std::pair<std::string, std::string>> ends;
            for (auto kb : doc.child("INSTANCENAME").children("KEYBINDING"))
                if (auto ref = kb.child("VALUE.REFERENCE"))
                    ends.emplace_back(kb.attribute("NAME").value(), raw(ref.select_node(".//INSTANCENAME").node()));
            ASSERT_EQ(ends.size(), 2u) << name;
            for (int e = 0; e < 2; ++e) {
                byEnd[ends[e]].push_back(name);
                farOf[ends[e]].push_back(ends[1 - e].second);
                otherRole[ends[e]] = ends[1 - e].first;
            }
        }
        // Up to ENDS_PER_ROLE ends of each role (in name order) keep the
        // run short on the large associations.
        std::map<std::string, std::size_t> perRole;
        for (auto& [end, expected] : byEnd) {
            if (++perRole[end.first] > ENDS_PER_ROLE)
                continue;
            const std::string object = "<IPARAMVALUE NAME=\"ObjectName\">" + end.second + "</IPARAMVALUE>" +
                                       CimClient::class_param("ResultClass", cls) +
                                       "<IPARAMVALUE NAME=\"Role\"><VALUE>" + end.first + "</VALUE></IPARAMVALUE>";
            CimReply refs;
            client.call("ReferenceNames", CimClient::imethod("ReferenceNames", object), refs);
            ASSERT_EQ(refs.error_code, 0) << end.second << refs.body;
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(returnedNames(refs), expected) << "references of " << end.second;

            const std::string assoc = "<IPARAMVALUE NAME=\"ObjectName\">" + end.second + "</IPARAMVALUE>" +
                                      CimClient::class_param("AssocClass", cls) +
                                      "<IPARAMVALUE NAME=\"Role\"><VALUE>" + end.first +
                                      "</VALUE></IPARAMVALUE><IPARAMVALUE NAME=\"ResultRole\"><VALUE>" +
                                      otherRole[end] + "</VALUE></IPARAMVALUE>";
            CimReply far;
            client.call("AssociatorNames", CimClient::imethod("AssociatorNames", assoc), far);
            ASSERT_EQ(far.error_code, 0) << end.second << far.body;
            auto ends = farOf[end];
            std::sort(ends.begin(), ends.end());
            EXPECT_EQ(returnedNames(far), ends) << "associators of " << end.second;
        }
        ++checked;
    }
    EXPECT_GT(checked, 0u);
}

// Every instance of every served class answers unfiltered Associators and
// References. The instances are shared out over a few kept-alive
// connections, as a client that walks a large array in parallel would.
TEST_F(CoverageAssociationsE2E, EveryServedInstanceAnswersAssociatorsAndReferences)
{
    constexpr std::size_t CONNECTIONS = 6;
    std::vector<std::string> instances;
    {
        CimClient client(server->port());
        for (const auto& [cls, instanceNames] : landed_classes(client))
            instances.insert(instances.end(), instanceNames.begin(), instanceNames.end());
    }
    ASSERT_FALSE(instances.empty());
    std::mutex failuresMutex;
    std::vector<std::string> failures;
    std::vector<std::thread> walkers;
    for (std::size_t w = 0; w < CONNECTIONS; ++w)
        walkers.emplace_back([&, w] {
            CimClient client(server->port());
            for (std::size_t i = w; i < instances.size(); i += CONNECTIONS) {
                const std::string object = "<IPARAMVALUE NAME=\"ObjectName\">" + instances[i] + "</IPARAMVALUE>";
                for (const char* op : {"Associators", "References"}) {
                    CimReply r;
                    client.call(op, CimClient::imethod(op, object), r);
                    if (r.http_status == 200 && r.error_code == 0)
                        continue;
                    std::lock_guard<std::mutex> hold(failuresMutex);
                    failures.push_back(std::string(op) + " " + instances[i] + "\n" + r.body.substr(0, 2000));
                }
            }
        });
    for (std::thread& t : walkers)
        t.join();
    EXPECT_TRUE(failures.empty()) << failures.size() << " requests failed; the first:\n"
                                  << (failures.empty() ? "" : failures.front());
    std::cout << instances.size() << " instances walked" << std::endl;
}

// No row of the provider table is left to the generator's placeholders.
TEST(ProviderTableE2E, NoRowIsAPlaceholder)
{
    const std::set<std::string> placeholders = placeholderClasses();
    std::string list;
    for (const auto& p : placeholders)
        list += " " + p;
    EXPECT_TRUE(placeholders.empty()) << placeholders.size() << " rows answered by placeholders:" << list;
}

}  // namespace
}  // namespace cimserver::test
