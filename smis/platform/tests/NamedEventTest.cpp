#include "NamedEvent.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using smis::platform::NamedEvent;
using namespace std::chrono_literals;

TEST(NamedEvent, ManualResetWithTimedWaits)
{
    auto event = NamedEvent::create("Global\\Test_Event_A");
    ASSERT_TRUE(event);
    EXPECT_FALSE(event->isSet());

    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(event->wait(100ms));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);

    event->set();
    EXPECT_TRUE(event->wait(0ms));
    EXPECT_TRUE(event->wait(10ms));  // stays signalled: manual reset
    EXPECT_TRUE(event->wait(NamedEvent::INFINITE_WAIT));
    event->reset();
    EXPECT_FALSE(event->wait(0ms));
}

TEST(NamedEvent, HandlesOfOneNameShareTheEventWhileOneIsOpen)
{
    EXPECT_EQ(NamedEvent::open("Global\\Test_Event_B"), nullptr);
    auto first = NamedEvent::create("Global\\Test_Event_B");
    auto second = NamedEvent::create("Global\\Test_Event_B");  // opens the existing one
    auto opened = NamedEvent::open("Global\\Test_Event_B");
    ASSERT_TRUE(first && second && opened);
    EXPECT_NE(first->id(), second->id());
    second->set();
    EXPECT_TRUE(first->isSet());
    EXPECT_TRUE(opened->isSet());

    first.reset();
    second.reset();
    opened.reset();
    // The last handle is gone, and the event with it.
    EXPECT_EQ(NamedEvent::open("Global\\Test_Event_B"), nullptr);
    auto again = NamedEvent::create("Global\\Test_Event_B");
    EXPECT_FALSE(again->isSet());
}

TEST(NamedEvent, AWaiterWakesWhenAnotherThreadSets)
{
    auto event = NamedEvent::create("Global\\Test_Event_C");
    std::thread setter([] {
        std::this_thread::sleep_for(100ms);
        NamedEvent::open("Global\\Test_Event_C")->set();
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(event->wait(10s));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    setter.join();
}
