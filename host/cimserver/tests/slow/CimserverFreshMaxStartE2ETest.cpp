// A fresh install of the `max` array (10,000 copy sessions): the first
// configuration table brings the copy relationships with it, not the copy
// sessions' next poll (an hour away here), and the start logs no SEVERE line.
#include "CimClient.h"
#include "SimulatedServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>

namespace cimserver::test {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr std::size_t COPY_SESSIONS = 10000;

double seconds_since(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The names of the class's own instances (the reference keys' names inside
// them are not counted).
std::size_t names_of(CimClient& client, const std::string& class_name)
{
    std::size_t n = 0;
    for (const std::string& name : instance_names(client, class_name))
        n += name.rfind("<INSTANCENAME CLASSNAME=\"" + class_name + "\"", 0) == 0;
    return n;
}

std::string severe_lines(const smis::test::TempInstallDir& install)
{
    std::string out;
    std::istringstream log(install.readFile("log/standard.log"));
    for (std::string line; std::getline(log, line);)
        if (line.find(" SEVERE ") != std::string::npos)
            out += line + "\n";
    return out;
}

TEST(CimserverFreshMaxStart, TheFirstTableBringsEveryCopyRelationshipAndNoSevereLine)
{
    const auto start = Clock::now();
    SimulatedServer setup("max", {"--poll-interval", "3600"});
    CimClient client(setup.server.port());

    // Far below the hour until the copy sessions' next poll.
    const auto deadline = start + 180s;
    double first_table = -1;
    std::size_t relationships = 0;
    long first_read = -1;  // the relationships of the first read after the table
    while (Clock::now() < deadline) {
        if (first_table < 0 && names_of(client, "VELDARO_StorageVolume") > 0)
            first_table = seconds_since(start);
        if (first_table >= 0) {
            relationships = names_of(client, "VELDARO_StorageSynchronized");
            if (first_read < 0)
                first_read = static_cast<long>(relationships);
            if (relationships >= COPY_SESSIONS)
                break;
        }
        std::this_thread::sleep_for(500ms);
    }
    ASSERT_GE(first_table, 0) << "no table within 180 s\n" << setup.server.output();
    EXPECT_EQ(relationships, COPY_SESSIONS);
    std::cout << "first table after " << first_table << " s (" << first_read << " copy relationships then), "
              << relationships << " after " << seconds_since(start) << " s, from the simulator's start\n";
    EXPECT_EQ(severe_lines(setup.install), "");
}

} // namespace
} // namespace cimserver::test
