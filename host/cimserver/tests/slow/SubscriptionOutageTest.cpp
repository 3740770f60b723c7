// A subscribed listener that is down for 30 s while the array changes gets
// every indication it missed once it is back, in the order they happened.
#include "SubscribedServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace cimserver::test {
namespace {

using namespace std::chrono_literals;

TEST(SubscriptionOutage, AListenerDownFor30SecondsGetsEverythingWhenItIsBack)
{
    SubscribedServer setup;
    SubscriptionClient client(setup.server->port());
    ASSERT_NO_FATAL_FAILURE(setup.subscribe(client));
    ASSERT_NO_FATAL_FAILURE(setup.changeStatus());
    ASSERT_EQ(setup.listener.waitForCount(SubscribedServer::MODIFIED, 1, 30s), 1u);

    setup.listener.pause();
    const auto down = std::chrono::steady_clock::now();
    for (int i = 0; i < 4; i++)
        ASSERT_NO_FATAL_FAILURE(setup.changeStatus());
    std::this_thread::sleep_until(down + 30s);
    EXPECT_EQ(setup.listener.received(), 1u) << "the listener was down";
    const size_t reported = setup.control.count(SubscribedServer::MODIFIED);
    EXPECT_GE(reported, 5u);

    setup.listener.resume();
    EXPECT_EQ(setup.listener.waitForCount(SubscribedServer::MODIFIED, reported, 60s), reported)
        << setup.server->output();
    EXPECT_EQ(setup.listener.grammarProblem(), "");
}

}  // namespace
}  // namespace cimserver::test
