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

    // Every packet of the array now takes a second, and the table has
    // changed: the next poll fetches the whole table, slowly. GetInstance is
    // asked all the while, until the new table has reached the cmf file.
    const std::string cmf = install.path() + "/data/" + sim.address(0) + ".cmf";
    const auto written = std::filesystem::last_write_time(cmf);
    ASSERT_TRUE(sim.fault(0, {{"kind", "slow"}, {"millis", 1000}}));
    ASSERT_TRUE(sim.control({{"op", "set_status"}, {"array", 0}, {"element", "raid_group"}, {"key", 0}, {"status", 1}})["ok"]);

    auto slowest = Clock::duration::zero();
    int answered = 0;
    bool refreshed = false;
    for (const auto end = Clock::now() + std::chrono::seconds(90); !refreshed && Clock::now() < end;) {
        CimReply r;
        const auto start = Clock::now();
        client.call("GetInstance", get, r);
        slowest = std::max(slowest, Clock::now() - start);
        EXPECT_EQ(r.error_code, 0) << r.body.substr(0, 500);
        ++answered;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        refreshed = std::filesystem::last_write_time(cmf) != written;
    }
    sim.clearFaults(0);

    EXPECT_TRUE(refreshed) << "the table was not fetched again";
    EXPECT_GT(answered, 10);
    EXPECT_LT(slowest, std::chrono::milliseconds(1500));
    EXPECT_EQ(server.stop(), 0) << server.output();
}

} // namespace
} // namespace cimserver::test
