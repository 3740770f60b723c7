#include "SubscribedServer.h"

#include <ArraysimLogin.h>

#include <gtest/gtest.h>

#include <chrono>

namespace cimserver::test {

const std::vector<std::string> SubscribedServer::MODIFIED = {"<INSTANCE CLASSNAME=\"CIM_InstModification\">",
                                                             "VELDARO_StorageComputerSystem"};

SubscribedServer::SubscribedServer()
{
    testsupport::connectFirstArray(sim, install);
    start();
}

SubscribedServer::~SubscribedServer()
{
    if (server) {
        EXPECT_EQ(server->stop(), 0) << server->output();
    }
}

void SubscribedServer::start()
{
    server = std::make_unique<CimserverProcess>(
        install.path(), std::vector<std::string>{"--poll-interval", "1", "--listener", control.url(),
                                                 "--delivery-retry-interval", "2", "--delivery-retry-attempts", "40"});
}

void SubscribedServer::restart()
{
    EXPECT_EQ(server->stop(), 0) << server->output();
    server.reset();
    start();
}

void SubscribedServer::subscribe(SubscriptionClient& client)
{
    filter = client.createFilter("all-instance-changes", "SELECT * FROM CIM_InstIndication");
    ASSERT_FALSE(filter.empty()) << client.last().body;
    destination = client.createDestination("test-listener", listener.url());
    ASSERT_FALSE(destination.empty()) << client.last().body;
    subscription = client.createSubscription(filter, destination);
    ASSERT_FALSE(subscription.empty()) << client.last().body;
}

void SubscribedServer::changeStatus()
{
    const size_t before = control.count(MODIFIED);
    // A poll compares with the one before, so a switch that falls between
    // two polls of one reading is not seen: switch until one is.
    for (int attempt = 0; attempt < 8; ++attempt) {
        _status = _status == 88 ? 32 : 88; // degraded, normal
        ASSERT_TRUE(sim.control({{"op", "set_status"}, {"array", 0}, {"element", "system"}, {"status", _status}})["ok"]);
        if (control.waitForCount(MODIFIED, before + 1, std::chrono::seconds(6)) > before)
            return;
    }
    FAIL() << "no status change was reported\n" << server->output();
}

} // namespace cimserver::test
