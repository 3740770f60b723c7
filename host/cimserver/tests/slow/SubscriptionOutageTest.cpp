// A subscribed listener that is down for 30 s while the array changes gets
// every indication it missed once it is back.
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

    // From here the listener must get what the static listener gets.
    const auto& modified = SubscribedServer::MODIFIED;
    const size_t got = setup.listener.received(), had = setup.listener.count(modified),
                 reported_before = setup.control.count(modified);
    setup.listener.pause();
    const auto down = std::chrono::steady_clock::now();
    for (int i = 0; i < 4; i++)
        ASSERT_NO_FATAL_FAILURE(setup.changeStatus());
    std::this_thread::sleep_until(down + 30s);
    EXPECT_EQ(setup.listener.received(), got) << "the listener was down";
    const size_t missed = setup.control.count(modified) - reported_before;
    EXPECT_GE(missed, 4u);

    setup.listener.resume();
    EXPECT_EQ(setup.listener.waitForCount(modified, had + missed, 60s), had + missed) << setup.server->output();
    EXPECT_EQ(setup.listener.grammarProblem(), "");
}

}  // namespace
}  // namespace cimserver::test
