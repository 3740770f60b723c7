// A busy array is not a silent one. Through cimserver on the coverage
// scenario (status lifetimes 0, so that every reader asks the array live,
// and the polling service at work every second): while array 0's command
// channel is kept busy by a healthy array's work (a table refresh over a
// slow link, or the copy-session sync task with many synchronising
// sessions), eight parallel readers of every class and association built on
// live status get the answer a quiet array gives, in every round.
#include "CimClient.h"
#include "CimserverProcess.h"
#include "SimulatedServer.h"

#include <ArraysimProcess.hpp>
#include <TempInstallDir.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace cimserver::test {
namespace {

using Clock = std::chrono::steady_clock;

constexpr unsigned READERS = 8;
constexpr unsigned ROUNDS = 3;
// Extra sessions on array 0, each between two extra volumes numbered from
// EXTRA; they synchronise when the test says so.
constexpr unsigned EXTRA = 100;
constexpr unsigned SYNCING = 300;
constexpr std::uint16_t TABLE_COMMAND = 0x4024;

// The coverage scenario with the extra volumes and sessions (not
// synchronising yet), written into folder.
std::string scenario_with_sessions(const std::string& folder)
{
    std::ifstream in(std::string(SMIS_SOURCE_DIR) + "/tools/arraysim/scenarios/coverage.json");
    nlohmann::json scenario = nlohmann::json::parse(in);
    auto& array = scenario["arrays"][0];
    for (unsigned i = 0; i < 2 * SYNCING; ++i)
        array["volumes"].push_back(
            {{"olun", EXTRA + i}, {"lu_type", 1}, {"status", 0}, {"raid_group", 2}, {"blocks", 2097152}});
    for (unsigned i = 0; i < SYNCING; ++i)
        array["copy_sessions"].push_back({{"id", EXTRA + i},
                                          {"type", 1},
                                          {"src", EXTRA + 2 * i},
                                          {"dst", EXTRA + 2 * i + 1},
                                          {"state", 2},
                                          {"phase", 2},
                                          {"total_blocks", 2097152},
                                          {"copied_blocks", 2097152}});
    const std::string path = folder + "/busy.json";
    std::ofstream(path) << scenario.dump();
    return path;
}

// What a reader reads: per class or association, its answer reduced to the
// sorted instance names (with the Speed of a port, which live status gives).
using Answers = std::map<std::string, std::vector<std::string>>;

const char* const kClasses[] = {"VELDARO_FCPort",           "VELDARO_EthernetPort",
                                "VELDARO_iSCSISession",     "VELDARO_iSCSIConnection",
                                "VELDARO_iSCSISessionStatistics", "VELDARO_ConnectivityCollection"};
const char* const kAssociations[] = {"CIM_EndpointOfNetworkPipe", "CIM_ElementStatisticalData",
                                     "CIM_HostedCollection", "CIM_MemberOfCollection",
                                     "CIM_SAPAvailableForElement"};

std::string speed_of(const pugi::xml_node& instance)
{
    for (const pugi::xml_node& p : instance.children("PROPERTY"))
        if (std::string(p.attribute("NAME").value()) == "Speed")
            return p.child_value("VALUE");
    return "(none)";
}

Answers read_all(int port)
{
    CimClient client(port);
    client.http().set_read_timeout(120, 0);
    Answers out;
    // Asks for the class; a failure is kept as the class's answer.
    auto ask = [&](const char* operation, const char* cls, CimReply& r) {
        client.call(operation, CimClient::imethod(operation, CimClient::class_param("ClassName", cls)), r);
        if (r.http_status == 200 && r.error_code == 0)
            return true;
        out[cls].push_back("failed: " + std::to_string(r.http_status) + "/" + std::to_string(r.error_code));
        return false;
    };
    for (const char* cls : kClasses) {
        CimReply r;
        if (!ask("EnumerateInstances", cls, r))
            continue;
        auto& names = out[cls];
        const bool port_class = std::string(cls).find("Port") != std::string::npos;
        for (const pugi::xml_node& n : r.all("VALUE.NAMEDINSTANCE"))
            names.push_back(CimClient::raw(n.child("INSTANCENAME")) +
                            (port_class ? " Speed=" + speed_of(n.child("INSTANCE")) : ""));
        std::sort(names.begin(), names.end());
    }
    for (const char* cls : kAssociations) {
        CimReply r;
        if (!ask("EnumerateInstanceNames", cls, r))
            continue;
        auto& names = out[cls];
        for (const pugi::xml_node& n : r.all("INSTANCENAME"))
            names.push_back(CimClient::raw(n));
        std::sort(names.begin(), names.end());
    }
    return out;
}

// Differences of one answer from the quiet one, as text.
std::string differences(const Answers& quiet, const Answers& got)
{
    std::string out;
    for (const auto& [cls, names] : quiet) {
        const std::vector<std::string>& other = got.at(cls);
        if (other == names)
            continue;
        std::vector<std::string> lost;
        std::set_difference(names.begin(), names.end(), other.begin(), other.end(), std::back_inserter(lost));
        out += cls + ": " + std::to_string(other.size()) + " of " + std::to_string(names.size());
        if (!lost.empty())
            out += ", e.g. lost " + lost.front().substr(0, 300);
        out += "\n";
    }
    return out;
}

struct BusyServer {
    BusyServer() : sim(scenario_with_sessions(folder.path()), {"--distinct-addresses"})
    {
        prepare_install_with_command_line(sim, install,
                                          {"PortLinkStatus=0", "Session=0", "SessionStatistics=0", "RecPath=0"});
        server = std::make_unique<CimserverProcess>(install.path(), std::vector<std::string>{"--poll-interval", "1"});
        CimserverProcess::wait_for_tables(install.path(), sim.addresses(), {".cmf", ".ext", ".cps"});
    }

    smis::test::TempInstallDir folder;
    testsupport::ArraysimProcess sim;
    smis::test::TempInstallDir install;
    std::unique_ptr<CimserverProcess> server;
};

// Eight readers, each reading everything ROUNDS times; every answer must be
// the quiet one.
void expect_quiet_answers(const BusyServer& s, const Answers& quiet, const std::string& during)
{
    std::mutex lock;
    std::vector<std::string> wrong;
    std::vector<std::thread> readers;
    for (unsigned i = 0; i < READERS; ++i)
        readers.emplace_back([&, i] {
            for (unsigned round = 0; round < ROUNDS; ++round) {
                const std::string d = differences(quiet, read_all(s.server->port()));
                if (!d.empty()) {
                    std::lock_guard guard(lock);
                    wrong.push_back("reader " + std::to_string(i) + " round " + std::to_string(round) + ":\n" + d);
                }
            }
        });
    for (auto& t : readers)
        t.join();
    for (const std::string& w : wrong)
        ADD_FAILURE() << during << ", " << w;
}

TEST(CimserverBusyArray, ReadersOfAHealthyArrayWhoseChannelIsBusyGetItsValuesInEveryRound)
{
    BusyServer s;
    // The quiet answer, read alone; it must say something of every class,
    // and a linked port has a speed.
    const Answers quiet = read_all(s.server->port());
    for (const auto& [cls, names] : quiet) {
        ASSERT_FALSE(names.empty()) << cls << " answers nothing on a quiet array";
        EXPECT_EQ(names.front().rfind("failed", 0), std::string::npos) << cls << ": " << names.front();
    }
    for (const char* cls : {"VELDARO_FCPort", "VELDARO_EthernetPort"})
        EXPECT_TRUE(std::any_of(quiet.at(cls).begin(), quiet.at(cls).end(),
                                [](const std::string& n) { return n.find(" Speed=0") == std::string::npos; }))
            << cls << ": no port has a speed on a quiet array";
    EXPECT_EQ(differences(quiet, read_all(s.server->port())), "") << "the quiet answer changed by itself";

    // A slow link for the table refresh: each of its packets takes 400 ms,
    // so every second's refresh holds the channel for over a second.
    ASSERT_TRUE(s.sim.fault(0, {{"kind", "slow"}, {"command", TABLE_COMMAND}, {"millis", 400}}));
    expect_quiet_answers(s, quiet, "table refreshes over a slow link");
    s.sim.clearFaults(0);

    // Many synchronising sessions: the sync task asks for each of them, one
    // exchange after the other, every second.
    std::vector<unsigned> ids;
    for (unsigned i = 0; i < SYNCING; ++i)
        ids.push_back(EXTRA + i);
    ASSERT_TRUE(s.sim.control({{"op", "advance_copy"}, {"array", 0}, {"ids", ids}, {"percent", 0}, {"state", 2},
                               {"phase", 1}})["ok"]);
    // Two polls: the copy-session table knows them, and the sync task runs.
    std::this_thread::sleep_for(std::chrono::seconds(3));
    expect_quiet_answers(s, quiet, "the sync task over 300 synchronising sessions");

    // Nothing of it logged the array as not answering.
    std::ifstream in(s.install.path() + "/log/standard.log");
    const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(log.find("accessVorpakCmd NG = 84"), std::string::npos) << "a busy array was taken for a silent one";
    EXPECT_EQ(s.server->stop(), 0) << s.server->output();
}

} // namespace
} // namespace cimserver::test
