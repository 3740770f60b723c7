#include <cimple/Auto_Mutex.h>
#include <cimple/Mutex.h>
#include <cimple/Thread.h>

#include <gtest/gtest.h>

#include <atomic>

namespace cimple {
namespace {

TEST(Mutex, RecursiveMutexIsReenteredByItsOwner)
{
    Mutex m; // recursive by default
    Auto_Mutex outer(m);
    {
        Auto_Mutex inner(m);
        EXPECT_EQ(m.try_lock(), 0);
        m.unlock();
    }
}

struct Shared {
    Mutex* mutex;
    std::atomic<bool> got{false};
};

void* try_from_other_thread(void* arg)
{
    auto* s = static_cast<Shared*>(arg);
    bool got = s->mutex->try_lock() == 0;
    if (got)
        s->mutex->unlock();
    s->got = got;
    return nullptr;
}

TEST(Mutex, HeldAgainstOtherThreadsUntilFullyReleased)
{
    Mutex m(true);
    Shared s{&m};
    Thread t;
    m.lock();
    m.lock();
    m.unlock(); // still held once
    ASSERT_EQ(Thread::create_joinable(t, try_from_other_thread, &s), 0);
    void* r;
    ASSERT_EQ(Thread::join(t, r), 0);
    EXPECT_FALSE(s.got);
    m.unlock();
    ASSERT_EQ(Thread::create_joinable(t, try_from_other_thread, &s), 0);
    ASSERT_EQ(Thread::join(t, r), 0);
    EXPECT_TRUE(s.got);
}

TEST(Mutex, NonRecursiveMutexRefusesItsOwner)
{
    Mutex m(false);
    m.lock();
    EXPECT_NE(m.try_lock(), 0);
    m.unlock();
}

void* add_one(void* arg)
{
    return reinterpret_cast<void*>(reinterpret_cast<uintptr_t>(arg) + 1);
}

TEST(Thread, JoinGivesTheResult)
{
    Thread t;
    ASSERT_EQ(Thread::create_joinable(t, add_one, reinterpret_cast<void*>(41)), 0);
    EXPECT_EQ(Thread::create_joinable(t, add_one, nullptr), -1); // not joined yet
    void* value = nullptr;
    ASSERT_EQ(Thread::join(t, value), 0);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(value), 42u);
    EXPECT_EQ(Thread::join(t, value), -1); // already joined
    // The object can start another thread once joined.
    ASSERT_EQ(Thread::create_joinable(t, add_one, reinterpret_cast<void*>(1)), 0);
    ASSERT_EQ(Thread::join(t, value), 0);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(value), 2u);
}

TEST(Thread, JoinWithoutAThreadFails)
{
    Thread t;
    void* value = reinterpret_cast<void*>(7);
    EXPECT_EQ(Thread::join(t, value), -1);
    EXPECT_EQ(value, reinterpret_cast<void*>(7));
}

} // namespace
} // namespace cimple
