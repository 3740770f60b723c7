// A storm: 32 clients ask at once while the polling service refreshes every
// second and the array keeps changing. Every request is answered, the
// server keeps running and ends cleanly (under the sanitizers too).
#include "CimClient.h"
#include "CimserverProcess.h"

#include <ArraysimProcess.hpp>
#include <TempInstallDir.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace cimserver::test {
namespace {

TEST(CimserverStorm, ThirtyTwoClientsWhileTheArrayChangesAndRefreshes)
{
    testsupport::ArraysimProcess sim("small");
    smis::test::TempInstallDir install;
    install.writeEnv({"StorageIP=" + sim.address(0) + "," + std::to_string(sim.port(0))});
    CimserverProcess server(install.path(), {"--poll-interval", "1"});
    CimserverProcess::wait_for_tables(install.path(), {sim.address(0)});
    CimClient first(server.port());
    const std::vector<std::string> volumes = instance_names(first, "VELDARO_StorageVolume");
    ASSERT_FALSE(volumes.empty());
    const std::string& volume = volumes.front();
    const std::vector<std::pair<std::string, std::string>> requests = {
        {"EnumerateInstances", CimClient::class_param("ClassName", "VELDARO_StorageVolume")},
        {"EnumerateInstanceNames", CimClient::class_param("ClassName", "VELDARO_DiskDrive")},
        {"GetInstance", "<IPARAMVALUE NAME=\"InstanceName\">" + volume + "</IPARAMVALUE>"},
        {"EnumerateInstanceNames", CimClient::class_param("ClassName", "CIM_HostedStoragePool")},
        {"EnumerateInstances", CimClient::class_param("ClassName", "VELDARO_RAIDStoragePool")},
    };

    // The array changes all the while: a RAID group and a volume change
    // status, so every poll finds a new table to fetch and compare.
    std::atomic<bool> done{false};
    std::atomic<int> changes{0};
    std::thread changer([&] {
        for (int i = 0; !done; ++i) {
            sim.control({{"op", "set_status"}, {"array", 0}, {"element", "raid_group"}, {"key", 0}, {"status", i % 2}});
            sim.control({{"op", "set_status"}, {"array", 0}, {"element", "volume"}, {"key", 0}, {"status", i % 2}});
            ++changes;
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
        }
    });

    // Each client asks at least 12 times and goes on until the array has
    // changed a few times, however fast the answers come.
    std::atomic<int> asked{0};
    std::atomic<int> answered{0};
    std::atomic<int> failures{0};
    std::vector<std::thread> clients;
    for (int t = 0; t < 32; t++)
        clients.emplace_back([&, t] {
            CimClient client(server.port());
            for (int i = 0; i < 12 || changes < 4; i++) {
                ++asked;
                const auto& [op, params] = requests[static_cast<size_t>(t + i) % requests.size()];
                CimReply r;
                client.call(op, CimClient::imethod(op, params), r);
                if (r.http_status == 200 && r.error_code == 0)
                    ++answered;
                else if (failures++ < 3)
                    ADD_FAILURE() << op << ": " << r.http_status << " " << r.body.substr(0, 500);
            }
        });
    for (auto& c : clients)
        c.join();
    done = true;
    changer.join();

    EXPECT_EQ(failures.load(), 0);
    EXPECT_GE(asked.load(), 32 * 12);
    EXPECT_EQ(answered.load(), asked.load());
    EXPECT_GE(changes.load(), 4);
    EXPECT_TRUE(server.running());
    EXPECT_EQ(server.stop(), 0) << server.output();
}

} // namespace
} // namespace cimserver::test
