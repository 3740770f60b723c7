#include "LoginThrottle.h"

#include <gtest/gtest.h>

#include <string>

namespace cimserver {
namespace {

using namespace std::chrono_literals;
using Clock = LoginThrottle::Clock;

constexpr auto DELAY = 100ms;

// Turns of one address: free until its third failure, then one per delay
// whatever the logins hold, none beyond the longest wait, and forgotten
// after a quiet minute; another address is never held back meanwhile.
TEST(LoginThrottle, AnAddressThatFailedWaitsForATurnPerDelay)
{
    LoginThrottle t(DELAY);
    const auto now = Clock::now();
    for (unsigned i = 0; i < LoginThrottle::FREE_FAILURES; i++) {
        EXPECT_EQ(t.turn("a", now), now) << i;
        t.failed("a", now);
    }
    // Attempts in at once, right or wrong (no failure counted for them),
    // are checked one per delay.
    for (int i = 1; i <= 5; i++)
        EXPECT_EQ(t.turn("a", now), now + i * DELAY) << i;
    EXPECT_EQ(t.turn("b", now), now);
    // The queue reaches the longest wait: later attempts are not checked.
    while (t.turn("a", now) != Clock::time_point::max())
        ;
    EXPECT_EQ(t.turn("a", now + 20s) , now + 20s) << "the queue drained";
    // A quiet minute after the last failure the address is free again.
    EXPECT_EQ(t.turn("a", now + 61s), now + 61s);
    t.failed("a", now + 61s);
    EXPECT_EQ(t.turn("a", now + 61s), now + 61s);
}

// Failures from everywhere past the total: every address that failed at
// all shares one schedule of a turn per tenth of the delay, addresses that
// never failed are not held back, and addresses past the table share one
// entry.
TEST(LoginThrottle, FailuresFromEverywhereShareOneSchedule)
{
    LoginThrottle t(DELAY);
    const auto now = Clock::now();
    for (unsigned i = 0; i < LoginThrottle::FREE_FAILURES_IN_ALL; i++)
        t.failed("addr" + std::to_string(i), now);
    EXPECT_EQ(t.turn("addr1", now), now + DELAY / 10);
    EXPECT_EQ(t.turn("addr2", now), now + 2 * DELAY / 10);
    EXPECT_EQ(t.turn("never-failed", now), now);

    LoginThrottle full(DELAY);
    for (std::size_t i = 0; i < LoginThrottle::ADDRESSES; i++)
        full.failed("f" + std::to_string(i), now);
    for (unsigned i = 0; i < LoginThrottle::FREE_FAILURES; i++)
        full.failed("newcomer" + std::to_string(i), now);
    // Three newcomers' failures made the shared entry's: a fourth address
    // waits for the entry's turn (and the shared schedule's).
    EXPECT_GE(full.turn("another", now), now + DELAY);
}

} // namespace
} // namespace cimserver
