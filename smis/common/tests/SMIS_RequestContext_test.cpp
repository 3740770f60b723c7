#include "SMIS_RequestContext.h"

#include "NamedEvent.h"
#include "NamedMutex.h"
#include "SMIS_MethodLock.h"
#include "TempInstallDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

using cimple::SMIS_RequestContext;
using namespace std::chrono_literals;

namespace {

std::chrono::milliseconds timed(const std::function<void()>& what)
{
    const auto start = std::chrono::steady_clock::now();
    what();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
}

}  // namespace

TEST(SMIS_RequestContext, WithoutAContextTheClientNeverLeavesAndNothingIsRemembered)
{
    ASSERT_EQ(SMIS_RequestContext::current(), nullptr);
    EXPECT_FALSE(SMIS_RequestContext::currentClientGone());
    EXPECT_FALSE(SMIS_RequestContext::currentCancelled());
    SMIS_RequestContext::noteCurrentTimedOut("10.0.0.1");
    EXPECT_FALSE(SMIS_RequestContext::currentTimedOut("10.0.0.1"));
    EXPECT_FALSE(SMIS_RequestContext::waitCurrent(10ms));
}

TEST(SMIS_RequestContext, ScopesInstallOnTheirThreadOnlyAndNest)
{
    SMIS_RequestContext outer, inner;
    {
        SMIS_RequestContext::Scope a(outer);
        EXPECT_EQ(SMIS_RequestContext::current(), &outer);
        {
            SMIS_RequestContext::Scope b(inner);
            EXPECT_EQ(SMIS_RequestContext::current(), &inner);
        }
        EXPECT_EQ(SMIS_RequestContext::current(), &outer);
        EXPECT_EQ(std::async(std::launch::async, [] { return SMIS_RequestContext::current(); }).get(), nullptr);
    }
    EXPECT_EQ(SMIS_RequestContext::current(), nullptr);
}

TEST(SMIS_RequestContext, TimedOutArraysAreRememberedPerRequest)
{
    SMIS_RequestContext first, second;
    {
        SMIS_RequestContext::Scope scope(first);
        SMIS_RequestContext::noteCurrentTimedOut("10.0.0.1");
        EXPECT_TRUE(SMIS_RequestContext::currentTimedOut("10.0.0.1"));
        EXPECT_FALSE(SMIS_RequestContext::currentTimedOut("10.0.0.2"));
    }
    SMIS_RequestContext::Scope scope(second);
    EXPECT_FALSE(SMIS_RequestContext::currentTimedOut("10.0.0.1"));
}

TEST(SMIS_RequestContext, AWaitEndsAtOnceWhenTheClientLeavesFromAnotherThread)
{
    SMIS_RequestContext context;
    SMIS_RequestContext::Scope scope(context);
    EXPECT_FALSE(SMIS_RequestContext::waitCurrent(20ms)); // runs out: not cancelled
    std::thread leaver([&] {
        std::this_thread::sleep_for(100ms);
        context.clientLeft();
    });
    bool cancelled = false;
    const auto took = timed([&] { cancelled = SMIS_RequestContext::waitCurrent(60s); });
    leaver.join();
    EXPECT_TRUE(cancelled);
    EXPECT_LT(took, 5s);
    EXPECT_TRUE(SMIS_RequestContext::currentClientGone());
    EXPECT_TRUE(SMIS_RequestContext::currentCancelled());
}

TEST(SMIS_RequestContext, TheCancelEventEndsWaitsWithAndWithoutAContext)
{
    auto cancel = smis::platform::NamedEvent::create(SMIS_RequestContext::CANCEL_EVENT_NAME);
    ASSERT_TRUE(cancel);
    SMIS_RequestContext context;
    std::thread stopper([&] {
        std::this_thread::sleep_for(100ms);
        cancel->set();
    });
    bool cancelled = false;
    const auto took = timed([&] { cancelled = context.waitCancelled(60s); });
    stopper.join();
    EXPECT_TRUE(cancelled);
    EXPECT_LT(took, 5s);
    EXPECT_FALSE(context.clientGone()); // stopping is not the client leaving
    EXPECT_TRUE(context.cancelled());
    EXPECT_TRUE(SMIS_RequestContext::currentCancelled());
    EXPECT_TRUE(SMIS_RequestContext::waitCurrent(60s));
    cancel->reset();
}

TEST(SMIS_RequestContext, AMethodWaitingForItsArraysLockGivesUpWhenItsClientLeaves)
{
    smis::test::TempInstallDir dir;
    std::promise<void> release;
    std::promise<void> held;
    std::thread holder([&] {
        cimple::SMIS_MethodLock lock("10.0.0.9");
        held.set_value();
        release.get_future().wait();
    });
    held.get_future().wait();
    SMIS_RequestContext context;
    std::thread leaver([&] {
        std::this_thread::sleep_for(200ms);
        context.clientLeft();
    });
    bool refused = false;
    const auto took = timed([&] {
        SMIS_RequestContext::Scope scope(context);
        try {
            cimple::SMIS_MethodLock lock("10.0.0.9");
        } catch (const smis::platform::NamedMutexTimeout&) {
            refused = true;
        }
    });
    leaver.join();
    release.set_value();
    holder.join();
    EXPECT_TRUE(refused);
    EXPECT_LT(took, 5s) << "the wait ran to its bound of " << cimple::SMIS_MethodLock::waitBound().count() << " ms";
}
