// Timed enumeration on the `max` scenario: reports instances per second of
// EnumerateInstances over every class whose provider serves instances.
#include "CimClient.h"
#include "CimserverProcess.h"

#include <ArraysimProcess.hpp>
#include <TempInstallDir.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

namespace cimserver::test {
namespace {

TEST(CimserverThroughput, EnumerationOnTheMaxScenario)
{
    testsupport::ArraysimProcess sim("max");
    smis::test::TempInstallDir install;
    std::vector<std::string> env;
    for (size_t i = 0; i < sim.arrayCount(); i++)
        env.push_back("StorageIP=" + sim.address(i) + "," + std::to_string(sim.port(i)));
    install.writeEnv(env);
    CimserverProcess server(install.path(), {"--max-request", "1048576"});
    CimClient client(server.port());
    auto served = landed_classes(client);
    if (served.empty()) {
        EXPECT_EQ(server.stop(), 0) << server.output();
        GTEST_SKIP() << "no provider with its own code serves instances yet";
    }
    size_t instances = 0;
    auto start = std::chrono::steady_clock::now();
    for (auto& entry : served) {
        CimReply r;
        client.call("EnumerateInstances",
                    CimClient::imethod("EnumerateInstances", CimClient::class_param("ClassName", entry.first)), r);
        ASSERT_EQ(r.error_code, 0) << entry.first << "\n" << r.body.substr(0, 2000);
        size_t n = r.all("VALUE.NAMEDINSTANCE").size();
        EXPECT_EQ(n, entry.second.size()) << entry.first;
        instances += n;
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("EnumerateInstances on max: %zu instances of %zu classes in %.3f s: %.0f instances/s\n", instances,
                served.size(), seconds, seconds > 0 ? instances / seconds : 0.0);
    RecordProperty("instances_per_second", static_cast<int>(seconds > 0 ? instances / seconds : 0));
    EXPECT_EQ(server.stop(), 0) << server.output();
}

} // namespace
} // namespace cimserver::test
