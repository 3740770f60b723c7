#include "NamedMutex.h"
#include "NamedMutexLock.h"

#include "TempInstallDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <future>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using smis::platform::NamedMutex;
using smis::platform::NamedMutexLock;
using namespace std::chrono_literals;

TEST(NamedMutex, FileKeyKeepsOnlySafeCharacters)
{
    struct Case {
        const char* name;
        const char* key;
    } cases[] = {
        {"Global\\SMIS_ConfigManagementTable_Mutex_10.0.0.1", "Global_SMIS_ConfigManagementTable_Mutex_10.0.0.1"},
        {"a/b c", "a_b_c"},
        {"..", "_.."},
        {"", "_"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NamedMutex::fileKey(c.name), c.key) << c.name;
}

TEST(NamedMutex, NestsOnOneThreadAndUsesALockFile)
{
    smis::test::TempInstallDir dir;
    {
        NamedMutexLock outer("Global\\Nest_Mutex");
        NamedMutexLock inner("Global\\Nest_Mutex");  // would hang if not re-entrant
        EXPECT_TRUE(std::filesystem::exists(dir.file("run/Global_Nest_Mutex.lock")));
    }
    // Fully released: another thread gets it at once.
    auto other = std::async(std::launch::async, [] { NamedMutexLock lock("Global\\Nest_Mutex"); });
    EXPECT_EQ(other.wait_for(5s), std::future_status::ready);
}

TEST(NamedMutex, BlocksASecondThreadUntilTheLastReleaseOfTheOwner)
{
    smis::test::TempInstallDir dir;
    std::atomic<bool> acquired{false};
    auto outer = std::make_unique<NamedMutexLock>("Global\\Thread_Mutex");
    auto inner = std::make_unique<NamedMutexLock>("Global\\Thread_Mutex");
    std::thread waiter([&] {
        NamedMutexLock lock("Global\\Thread_Mutex");
        acquired = true;
    });
    std::this_thread::sleep_for(200ms);
    EXPECT_FALSE(acquired.load());
    inner.reset();
    std::this_thread::sleep_for(200ms);
    EXPECT_FALSE(acquired.load()) << "released after the inner acquisition only";
    outer.reset();
    waiter.join();
    EXPECT_TRUE(acquired.load());
}

TEST(NamedMutex, NamesThatMapToOneFileAreOneMutex)
{
    smis::test::TempInstallDir dir;
    NamedMutexLock a("Global\\Same");
    NamedMutexLock b("Global/Same");  // same lock file: nests instead of deadlocking
    SUCCEED();
}

namespace {

// True when fd becomes readable within the time given.
bool readableWithin(int fd, int milliseconds)
{
    struct pollfd p {fd, POLLIN, 0};
    return ::poll(&p, 1, milliseconds) == 1;
}

}  // namespace

TEST(NamedMutex, BlocksAForkedProcessUntilReleased)
{
    smis::test::TempInstallDir dir;
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);

    auto held = std::make_unique<NamedMutexLock>("Global\\Process_Mutex");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipeFds[0]);
        {
            NamedMutexLock lock("Global\\Process_Mutex");
            const char c = 'A';
            (void)!::write(pipeFds[1], &c, 1);
        }
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    EXPECT_FALSE(readableWithin(pipeFds[0], 300)) << "child got the mutex while the parent held it";
    held.reset();
    EXPECT_TRUE(readableWithin(pipeFds[0], 10000)) << "child never got the released mutex";
    char c = 0;
    EXPECT_EQ(::read(pipeFds[0], &c, 1), 1);
    EXPECT_EQ(c, 'A');
    ::close(pipeFds[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(NamedMutex, ProcessHoldingItBlocksTheParent)
{
    smis::test::TempInstallDir dir;
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The child takes the mutex, tells the parent, and keeps it a while.
        ::close(pipeFds[0]);
        NamedMutexLock lock("Global\\Child_Mutex");
        const char c = 'L';
        (void)!::write(pipeFds[1], &c, 1);
        ::usleep(300 * 1000);
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    ASSERT_TRUE(readableWithin(pipeFds[0], 10000)) << "child never took the mutex";
    ::close(pipeFds[0]);
    const auto start = std::chrono::steady_clock::now();
    {
        NamedMutexLock lock("Global\\Child_Mutex");
    }
    const auto waited = std::chrono::steady_clock::now() - start;
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_GE(waited, 100ms) << "the parent did not wait for the child's lock";
}
