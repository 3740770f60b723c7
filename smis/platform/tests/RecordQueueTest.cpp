// The in-process record queue: timed receive, order, ownership of records
// that are refused or still queued at removal (LeakSanitizer sees any record
// that is not freed), and one queue per name.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <thread>

#include "RecordQueue.h"

using smis::platform::RecordQueue;
using namespace std::chrono_literals;

namespace {

RecordQueue::Record makeRecord(int value) {
    void* p = std::malloc(sizeof value);
    std::memcpy(p, &value, sizeof value);
    return RecordQueue::Record(p, sizeof value);
}

int valueOf(const RecordQueue::Record& r) {
    int v = 0;
    std::memcpy(&v, r.data.get(), sizeof v);
    return v;
}

}  // namespace

TEST(RecordQueueTest, ReceiveWithNothingQueuedGivesAnEmptyRecordAfterTheTimeout) {
    auto q = RecordQueue::create("rq-empty");
    ASSERT_TRUE(q);
    const auto start = std::chrono::steady_clock::now();
    RecordQueue::Record r = q->receive(50ms);
    EXPECT_FALSE(r);
    EXPECT_EQ(r.bytes, 0u);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 45ms);
}

TEST(RecordQueueTest, RecordsArriveInOrderWithTheirSizes) {
    auto q = RecordQueue::create("rq-order");
    ASSERT_TRUE(q);
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(RecordQueue::send("rq-order", makeRecord(i)), RecordQueue::SendResult::SENT);
    for (int i = 1; i <= 3; ++i) {
        RecordQueue::Record r = q->receive(10ms);
        ASSERT_TRUE(r);
        EXPECT_EQ(valueOf(r), i);
        EXPECT_EQ(r.bytes, sizeof(int));
    }
}

TEST(RecordQueueTest, AReceiverWaitingIsWokenBySendFromAnotherThread) {
    auto q = RecordQueue::create("rq-thread");
    ASSERT_TRUE(q);
    std::thread sender([] {
        std::this_thread::sleep_for(20ms);
        RecordQueue::send("rq-thread", makeRecord(7));
    });
    RecordQueue::Record r = q->receive(5000ms);
    sender.join();
    ASSERT_TRUE(r);
    EXPECT_EQ(valueOf(r), 7);
}

TEST(RecordQueueTest, SendWithoutAQueueFreesTheRecordAndReportsIt) {
    EXPECT_FALSE(RecordQueue::exists("rq-none"));
    EXPECT_EQ(RecordQueue::send("rq-none", makeRecord(1)), RecordQueue::SendResult::NO_QUEUE);
    EXPECT_EQ(RecordQueue::send("rq-none", RecordQueue::Record()), RecordQueue::SendResult::INVALID);
}

TEST(RecordQueueTest, RemovalFreesQueuedRecordsAndLaterSendsAreRefused) {
    {
        auto q = RecordQueue::create("rq-removed");
        ASSERT_TRUE(q);
        EXPECT_TRUE(RecordQueue::exists("rq-removed"));
        RecordQueue::send("rq-removed", makeRecord(1));
        RecordQueue::send("rq-removed", makeRecord(2));
        EXPECT_EQ(q->pending(), 2u);
    }
    EXPECT_FALSE(RecordQueue::exists("rq-removed"));
    EXPECT_EQ(RecordQueue::send("rq-removed", makeRecord(3)), RecordQueue::SendResult::NO_QUEUE);
}

TEST(RecordQueueTest, OneQueuePerNameUntilItIsRemoved) {
    auto first = RecordQueue::create("rq-unique");
    ASSERT_TRUE(first);
    EXPECT_FALSE(RecordQueue::create("rq-unique"));
    first.reset();
    auto second = RecordQueue::create("rq-unique");
    EXPECT_TRUE(second);
}
