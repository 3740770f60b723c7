// One destination's queue: a listener that comes back late gets what waited
// for it, in order; one that never comes back costs a bounded queue, and
// what it could not take is dropped, counted and reported.
#include "ListenerQueue.h"

#include "FreePort.h"
#include "HostileListener.h"

#include <LogCapture.h>

#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace cimserver {
namespace {

using namespace std::chrono_literals;

ListenerQueue::Body body(const std::string& text)
{
    return std::make_shared<const std::string>(text);
}

template <class Pred>
bool eventually(Pred pred, std::chrono::milliseconds limit = 10s)
{
    for (auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;) {
        if (pred())
            return true;
        std::this_thread::sleep_for(20ms);
    }
    return pred();
}

TEST(ListenerQueue, AListenerThatComesBackGetsWhatWaitedInOrder)
{
    const int port = free_port();
    DeliveryCounts counts;
    ListenerQueue queue("http://127.0.0.1:" + std::to_string(port) + "/in", DeliveryRetry{50, 100ms}, counts);
    for (const char* text : {"one", "two", "three"})
        queue.push(body(text));
    std::this_thread::sleep_for(400ms); // a few tries fail
    EXPECT_EQ(counts.delivered.load(), 0u);

    httplib::Server listener;
    std::mutex lock;
    std::vector<std::string> got;
    listener.Post("/in", [&](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard<std::mutex> g(lock);
        got.push_back(req.body);
        res.set_content("<CIM></CIM>", "application/xml");
    });
    ASSERT_TRUE(listener.bind_to_port("127.0.0.1", port));
    std::thread serving([&] { listener.listen_after_bind(); });
    EXPECT_TRUE(eventually([&] { return counts.delivered.load() == 3; }));
    listener.stop();
    serving.join();
    EXPECT_EQ(got, (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(counts.dropped.load(), 0u);
}

TEST(ListenerQueue, AListenerThatNeverComesBackCostsABoundedQueue)
{
    const std::string url = "http://127.0.0.1:" + std::to_string(free_port());
    DeliveryCounts counts;
    std::atomic<int> failures{0};
    {
        ListenerQueue queue(url, DeliveryRetry{1, 50ms}, counts, [&](const std::string& failed) {
            EXPECT_EQ(failed, url);
            failures++;
        });
        const std::string big(4096, 'x');
        for (std::size_t i = 0; i < ListenerQueue::MAX_QUEUED + 10; i++)
            queue.push(body(big));
        EXPECT_LE(queue.waiting(), ListenerQueue::MAX_BYTES / big.size());
        EXPECT_GE(counts.dropped.load(), 10u);
        // The head is given up after its retry, and reported.
        EXPECT_TRUE(eventually([&] { return failures.load() >= 1; }));
    }
    EXPECT_EQ(counts.delivered.load(), 0u);
}

// A queue whose listener holds its delivery (here for up to a minute) ends
// at once with the queue, as the server's stop needs.
TEST(ListenerQueue, ADeliveryInProgressEndsWithTheQueue)
{
    for (auto kind : {test::HostileListener::Kind::trickle, test::HostileListener::Kind::never_read}) {
        test::HostileListener listener(kind);
        DeliveryCounts counts;
        auto queue = std::make_unique<ListenerQueue>(listener.url(), DeliveryRetry{3, 30s, 60s}, counts);
        queue->push(body("held"));
        ASSERT_TRUE(eventually([&] { return listener.connections() >= 1; }));
        std::this_thread::sleep_for(300ms); // the delivery is under way
        const auto start = std::chrono::steady_clock::now();
        queue.reset();
        EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
        EXPECT_EQ(counts.delivered.load() + counts.dropped.load(), 0u);
    }
}

// A listener that fails every try is logged once, with the reason, however
// often it is tried.
TEST(ListenerQueue, TheFirstFailureOfADestinationIsLoggedOnceWithItsReason)
{
    smis::test::LogCapture logs;
    const std::string url = "http://127.0.0.1:" + std::to_string(free_port()) + "/in";
    DeliveryCounts counts;
    {
        ListenerQueue queue(url, DeliveryRetry{4, 20ms}, counts);
        queue.push(body("one"));
        queue.push(body("two"));
        ASSERT_TRUE(eventually([&] { return counts.dropped.load() == 2; }));
    }
    std::size_t told = 0;
    for (const std::string& m : logs.logMessages(Pegasus::Logger::STANDARD_LOG))
        if (m.find("indications for listener " + url + " are not delivered: not reached: Connection refused") == 0)
            told++;
    EXPECT_EQ(told, 1u);
}

} // namespace
} // namespace cimserver
