// The polling service held by the module's providers: started by the first
// load, stopped by the last unload, once each, whatever the order.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "Polling_Lifetime.h"

namespace {

using cimple::Polling_Lifetime;

struct Recorder {
    bool starts = true;   // what start answers
    bool throws = false;  // start throws instead
    std::string calls;    // "S" per start, "s"/"x" per stop of a running / not running service

    Polling_Lifetime::Service service()
    {
        return {[this] {
                    calls += 'S';
                    if (throws)
                        throw std::runtime_error("start");
                    return starts;
                },
                [this](bool running) { calls += running ? 's' : 'x'; }};
    }
};

TEST(PollingLifetime, StartsOnFirstLoadAndStopsOnLastUnload)
{
    // '+' a provider loads, '-' one unloads.
    struct Case {
        const char* steps;
        const char* calls;
    };
    const std::vector<Case> cases = {
        {"+-", "Ss"},
        {"+++---", "Ss"},
        {"++-+--", "Ss"},
        {"+-+-", "SsSs"},
        {"-", ""},            // an unload without a load changes nothing
        {"-+-", "Ss"},
        {"+--+-", "SsSs"},
    };
    for (const Case& c : cases) {
        Recorder r;
        Polling_Lifetime lifetime(r.service());
        for (const char* s = c.steps; *s; ++s)
            *s == '+' ? lifetime.acquire() : lifetime.release();
        EXPECT_EQ(r.calls, c.calls) << c.steps;
        EXPECT_EQ(lifetime.holders(), 0u) << c.steps;
    }
}

TEST(PollingLifetime, AServiceThatDidNotStartIsReleasedAndTriedAgainOnTheNextFirstLoad)
{
    Recorder r;
    r.starts = false;
    Polling_Lifetime lifetime(r.service());
    lifetime.acquire();
    lifetime.acquire();
    lifetime.release();
    lifetime.release();
    r.throws = true;
    lifetime.acquire(); // a throwing start is caught
    EXPECT_EQ(lifetime.holders(), 1u);
    lifetime.release();
    EXPECT_EQ(r.calls, "SxSx");
}

TEST(PollingLifetime, ConcurrentLoadsStartOnce)
{
    Recorder r;
    Polling_Lifetime lifetime(r.service());
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([&] {
            for (int n = 0; n < 100; ++n)
                lifetime.acquire();
        });
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(lifetime.holders(), 800u);
    for (int n = 0; n < 800; ++n)
        lifetime.release();
    EXPECT_EQ(r.calls, "Ss");
}

} // namespace
