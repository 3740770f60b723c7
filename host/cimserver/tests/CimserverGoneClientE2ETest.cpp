// A method whose client leaves while it waits for the array's method lock
// (behind another method on a slow array) never reaches the array: once it
// has the lock it sees its client gone and stops before its first command.
#include "CimClient.h"
#include "CimserverProcess.h"
#include "RawHttp.h"

#include <ArraysimLogin.h>
#include <ArraysimProcess.hpp>
#include <TempInstallDir.h>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

namespace cimserver::test {
namespace {

using namespace std::chrono_literals;

TEST(CimserverGoneClient, AMethodWhoseClientLeftWhileItWaitedIsNeverSentToTheArray)
{
    testsupport::ArraysimProcess sim("small");
    smis::test::TempInstallDir install;
    const std::string address = sim.address(0);
    ASSERT_NO_FATAL_FAILURE(testsupport::connectFirstArray(sim, install));
    CimserverProcess server(install.path(), {"--poll-interval", "3600"});
    CimserverProcess::wait_for_tables(install.path(), {address});

    const std::string service = CimClient::configuration_service(address);
    auto create = [&](const std::string& name) {
        return CimClient::method(
            "CreateOrModifyElementFromStoragePool", service,
            "<PARAMVALUE NAME=\"ElementName\" PARAMTYPE=\"string\"><VALUE>" + name + "</VALUE></PARAMVALUE>"
            "<PARAMVALUE NAME=\"ElementType\" PARAMTYPE=\"uint16\"><VALUE>5</VALUE></PARAMVALUE>"
            "<PARAMVALUE NAME=\"Size\" PARAMTYPE=\"uint64\"><VALUE>104857600</VALUE></PARAMVALUE>"
            "<PARAMVALUE NAME=\"InPool\" PARAMTYPE=\"reference\"><VALUE.REFERENCE>"
            "<INSTANCENAME CLASSNAME=\"VELDARO_ThinProvisioningPool\">" +
                CimClient::key("InstanceID", "VELDARO:TPP0000_" + address) + "</INSTANCENAME></VALUE.REFERENCE></PARAMVALUE>");
    };

    // The first method holds the array's method lock: every packet of the
    // array takes a second.
    ASSERT_TRUE(sim.fault(0, {{"kind", "slow"}, {"millis", 1000}}));
    auto holder = std::async(std::launch::async, [&] {
        CimClient client(server.port());
        client.http().set_read_timeout(300, 0);
        CimReply r;
        client.call("CreateOrModifyElementFromStoragePool", create("HOLDER"), r);
        return r;
    });
    std::this_thread::sleep_for(1500ms);
    // The second waits behind it; its client gives up and leaves.
    {
        RawHttp gone(server.port());
        ASSERT_TRUE(gone.send(RawHttp::request("CreateOrModifyElementFromStoragePool", create("GONECLIENT"))));
        std::this_thread::sleep_for(1000ms);
    }
    std::this_thread::sleep_for(500ms);
    sim.clearFaults(0);
    CimReply held = holder.get();
    EXPECT_EQ(held.http_status, 200) << held.body;
    const auto before = sim.requests();
    const std::uint64_t last = before.empty() ? 0 : before.back()["seq"].get<std::uint64_t>();

    // The waiting method had the lock at once after the first: had it run,
    // its pre-check and command would reach the array now.
    std::this_thread::sleep_for(3s);
    EXPECT_TRUE(sim.requests(last).empty()) << sim.requests(last).dump().substr(0, 2000);
    EXPECT_EQ(sim.model(0).dump().find("GONECLIENT"), std::string::npos) << "the volume of the client that left was made";
    EXPECT_NE(sim.model(0).dump().find("HOLDER"), std::string::npos) << "the first method did not make its volume";
    EXPECT_EQ(server.stop(), 0) << server.output();
}

} // namespace
} // namespace cimserver::test
