// A request the cache can answer never waits for the array: while a refresh
// crawls through a slow array, GetInstance of a volume is answered at once.
#include "CimClient.h"
#include "CimserverProcess.h"

#include <ArraysimProcess.hpp>
#include <TempInstallDir.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace cimserver::test {
namespace {

using Clock = std::chrono::steady_clock;

TEST(CimserverStalledArray, GetInstanceIsAnsweredFromTheCacheWhileARefreshWaitsForTheArray)
{
    testsupport::ArraysimProcess sim("small");
    smis::test::TempInstallDir install;
    install.writeEnv({"StorageIP=" + sim.address(0) + "," + std::to_string(sim.port(0))});
    CimserverProcess server(install.path(), {"--poll-interval", "1"});
    CimserverProcess::wait_for_tables(install.path(), {sim.address(0)});
    CimClient client(server.port());
    const std::vector<std::string> volumes = instance_names(client, "VELDARO_StorageVolume");
    ASSERT_FALSE(volumes.empty());
    const std::string get =
        CimClient::imethod("GetInstance", "<IPARAMVALUE NAME=\"InstanceName\">" + volumes.front() + "</IPARAMVALUE>");

    // Every packet of the array now takes ten seconds, and the table has
    // changed: the next poll fetches the whole table, crawling. GetInstance
    // is asked all the while for 40 s. One that waited for the array would
    // wait for at least the rest of a packet, most often for seconds, and
    // for the whole refresh if it waited for the table: the bound of 5 s is
    // far from both and from what a loaded machine takes to answer.
    const std::string cmf = install.path() + "/data/" + sim.address(0) + ".cmf";
    const auto written = std::filesystem::last_write_time(cmf);
    ASSERT_TRUE(sim.fault(0, {{"kind", "slow"}, {"millis", 10000}}));
    ASSERT_TRUE(sim.control({{"op", "set_status"}, {"array", 0}, {"element", "raid_group"}, {"key", 0}, {"status", 1}})["ok"]);

    auto slowest = Clock::duration::zero();
    int answered = 0;
    for (const auto end = Clock::now() + std::chrono::seconds(40); Clock::now() < end;) {
        CimReply r;
        const auto start = Clock::now();
        client.call("GetInstance", get, r);
        slowest = std::max(slowest, Clock::now() - start);
        EXPECT_EQ(r.error_code, 0) << r.body.substr(0, 500);
        ++answered;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    const bool crawling = std::filesystem::last_write_time(cmf) == written;
    // Clearing the fault ends the packet in progress: the refresh finishes.
    sim.clearFaults(0);
    bool refreshed = false;
    for (const auto end = Clock::now() + std::chrono::seconds(90); !refreshed && Clock::now() < end;
         std::this_thread::sleep_for(std::chrono::milliseconds(200)))
        refreshed = std::filesystem::last_write_time(cmf) != written;

    EXPECT_TRUE(crawling) << "the refresh was not held by the slow array while GetInstance was asked";
    EXPECT_TRUE(refreshed) << "the table was not fetched again";
    EXPECT_GT(answered, 10);
    EXPECT_LT(slowest, std::chrono::seconds(5));
    EXPECT_EQ(server.stop(), 0) << server.output();
}

} // namespace
} // namespace cimserver::test
