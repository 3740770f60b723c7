#include "NamedMutex.h"
#include "NamedMutexLock.h"

#include "TempInstallDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <poll.h>
#include <sys/stat.h>
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

namespace {

// A forked child that takes the named mutex and holds it until release() (or
// the end of the object).
class ChildHolder {
public:
    explicit ChildHolder(const char* name)
    {
        int locked[2];
        int release[2];
        if (::pipe(locked) != 0 || ::pipe(release) != 0)
            return;
        _child = ::fork();
        if (_child == 0) {
            ::close(locked[0]);
            ::close(release[1]);
            NamedMutexLock lock(name);
            const char c = 'L';
            (void)!::write(locked[1], &c, 1);
            char r = 0;
            (void)!::read(release[0], &r, 1);
            ::_exit(0);
        }
        ::close(locked[1]);
        ::close(release[0]);
        _release = release[1];
        _holds = _child > 0 && readableWithin(locked[0], 10000);
        ::close(locked[0]);
    }
    ~ChildHolder() { release(); }
    // True once the child holds the mutex.
    bool holds() const { return _holds; }
    void release()
    {
        if (_release >= 0) {
            const char go = 'R';
            (void)!::write(_release, &go, 1);
            ::close(_release);
            _release = -1;
        }
        if (_child > 0) {
            int status = 0;
            ::waitpid(_child, &status, 0);
            _child = -1;
        }
    }

private:
    pid_t _child = -1;
    int _release = -1;
    bool _holds = false;
};

// While a child holds the named mutex the parent's waiting thread stays
// blocked however slow the machine is.
void expectAChildHoldingItBlocksTheParent(const char* name)
{
    ChildHolder child(name);
    ASSERT_TRUE(child.holds()) << "child never took the mutex";
    std::atomic<bool> acquired{false};
    std::thread waiter([&] {
        NamedMutexLock lock(name);
        acquired = true;
    });
    std::this_thread::sleep_for(200ms);
    EXPECT_FALSE(acquired.load()) << "the parent took a mutex the child holds";
    child.release();
    waiter.join();
    EXPECT_TRUE(acquired.load());
}

}  // namespace

TEST(NamedMutex, ProcessHoldingItBlocksTheParent)
{
    smis::test::TempInstallDir dir;
    expectAChildHoldingItBlocksTheParent("Global\\Child_Mutex");
}

// The lock file stays open between acquisitions, yet another process is
// still kept out when the file it opens is not the one this process holds
// open: after the file was removed, and after the install directory moved.
TEST(NamedMutex, ProcessHoldingItBlocksTheParentAfterTheLockFileWasRemovedOrMoved)
{
    for (bool moved : {false, true}) {
        SCOPED_TRACE(moved ? "install directory moved" : "lock file removed");
        smis::test::TempInstallDir first;
        { NamedMutexLock once("Global\\Kept_Mutex"); }
        std::unique_ptr<smis::test::TempInstallDir> second;
        if (moved)
            second = std::make_unique<smis::test::TempInstallDir>();
        else
            std::filesystem::remove(first.path() + "/run/Global_Kept_Mutex.lock");
        expectAChildHoldingItBlocksTheParent("Global\\Kept_Mutex");
    }
}

// Lock files and their folder are private to the service under any umask,
// including files and folders an earlier version left readable by all.
TEST(NamedMutex, LockFilesArePrivateUnderAnyUmask)
{
    namespace fs = std::filesystem;
    auto modeOf = [](const std::string& path) {
        return static_cast<unsigned>(fs::status(path).permissions() & fs::perms::mask);
    };
    for (const mode_t mask : {mode_t{0}, mode_t{022}, mode_t{0777}}) {
        smis::test::TempInstallDir dir;
        fs::remove_all(dir.file("run"));
        const mode_t before = ::umask(mask);
        { NamedMutexLock lock("Global\\Private_Mutex"); }
        ::umask(before);
        EXPECT_EQ(modeOf(dir.file("run")), 0700u) << "umask " << mask;
        EXPECT_EQ(modeOf(dir.file("run/Global_Private_Mutex.lock")), 0600u) << "umask " << mask;
    }

    smis::test::TempInstallDir dir;
    fs::permissions(dir.file("run"), fs::perms(0755));
    { std::ofstream(dir.file("run/Global_Old_Mutex.lock")); }
    fs::permissions(dir.file("run/Global_Old_Mutex.lock"), fs::perms(0666));
    { NamedMutexLock lock("Global\\Old_Mutex"); }
    EXPECT_EQ(modeOf(dir.file("run")), 0700u);
    EXPECT_EQ(modeOf(dir.file("run/Global_Old_Mutex.lock")), 0600u);
}

// A lock file that cannot be opened leaves the mutex unheld: the constructor
// throws, and once the run folder is back the mutex is taken as usual, by
// this thread and by others (nothing was left owned).
TEST(NamedMutex, ALockFileThatCannotBeOpenedIsAFailureThatHoldsNothing)
{
    namespace fs = std::filesystem;
    smis::test::TempInstallDir dir;
    fs::remove_all(dir.file("run"));
    { std::ofstream(dir.file("run")) << "not a folder"; }
    try {
        NamedMutexLock lock("Global\\Refused_Mutex");
        ADD_FAILURE() << "acquired without its lock file";
    } catch (const smis::platform::NamedMutexError& e) {
        EXPECT_NE(std::string(e.what()).find("Failed to open lock file"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("Global_Refused_Mutex.lock"), std::string::npos) << e.what();
    }
    fs::remove(dir.file("run"));
    auto other = std::async(std::launch::async, [] { NamedMutexLock lock("Global\\Refused_Mutex"); });
    EXPECT_EQ(other.wait_for(5s), std::future_status::ready);
    NamedMutexLock lock("Global\\Refused_Mutex");
    EXPECT_TRUE(fs::exists(dir.file("run/Global_Refused_Mutex.lock")));
    EXPECT_EQ(lock.handle(), NamedMutex::get("Global\\Refused_Mutex").handle());
}

// A bounded wait gives up once the bound has passed, holding nothing (the
// holder keeps it, the next waiter gets it as soon as it is free), whether
// another thread or another process holds it; the owner's own bounded
// acquisition nests at once.
TEST(NamedMutex, ABoundedWaitGivesUpAndHoldsNothing)
{
    smis::test::TempInstallDir dir;
    const std::string name = "Global\\Bounded_Mutex";
    auto expectTimeout = [&] {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_THROW(NamedMutexLock(name, 150ms), smis::platform::NamedMutexTimeout);
        EXPECT_GE(std::chrono::steady_clock::now() - start, 150ms);
    };
    {
        NamedMutexLock held(name);
        NamedMutexLock nested(name, 0ms);
        std::thread other(expectTimeout);
        other.join();
    }
    ChildHolder child(name.c_str());
    ASSERT_TRUE(child.holds()) << "child never took the mutex";
    expectTimeout();
    child.release();
    EXPECT_NO_THROW(NamedMutexLock(name, 5000ms));
}
