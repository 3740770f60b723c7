// Timed enumeration on the `max` scenario: reports instances per second of
// EnumerateInstances over the classes that grow with the array (volumes,
// extents, disks). Deep enumerations of the abstract bases would only repeat
// the same providers.
#include "CimClient.h"
#include "SimulatedServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <thread>
#include <string>

namespace cimserver::test {
namespace {

TEST(CimserverThroughput, EnumerationOnTheMaxScenario)
{
    SimulatedServer setup("max", {"--max-request", "1048576"});
    CimserverProcess& server = setup.server;
    CimClient client(server.port());
    // The polling service fetches the arrays' tables after the server starts;
    // until then every array is skipped and enumerations are empty.
    auto names_of = [&](const char* name, CimReply& r) {
        client.call("EnumerateInstanceNames",
                    CimClient::imethod("EnumerateInstanceNames", CimClient::class_param("ClassName", name)), r);
        return r.all("INSTANCENAME").size();
    };
    // Every array has its table once two readings a second apart agree.
    size_t previous = 0;
    for (auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(3);
         std::chrono::steady_clock::now() < deadline;) {
        CimReply r;
        size_t now = names_of("VELDARO_DiskExtent", r);
        if (now > 0 && now == previous)
            break;
        previous = now;
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    std::map<std::string, size_t> served;
    for (const char* name : {"VELDARO_StorageVolume", "VELDARO_DiskExtent", "VELDARO_RAIDCompositeExtent",
                             "VELDARO_FreeExtent", "VELDARO_DiskDrive"}) {
        CimReply r;
        size_t n = names_of(name, r);
        if (r.error_code == 0 && n > 0)
            served[name] = n;
    }
    if (served.empty()) {
        EXPECT_EQ(server.stop(), 0) << server.output();
        FAIL() << "no provider serves instances";
    }
    size_t instances = 0;
    auto start = std::chrono::steady_clock::now();
    for (auto& entry : served) {
        CimReply r;
        client.call("EnumerateInstances",
                    CimClient::imethod("EnumerateInstances", CimClient::class_param("ClassName", entry.first)), r);
        ASSERT_EQ(r.error_code, 0) << entry.first << "\n" << r.body.substr(0, 2000);
        size_t n = r.all("VALUE.NAMEDINSTANCE").size();
        EXPECT_EQ(n, entry.second) << entry.first;
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
