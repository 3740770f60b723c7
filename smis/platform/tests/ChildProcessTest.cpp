#include "ChildProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using smis::platform::ChildProcess;

// Everything the child writes until it closes its output (bounded).
std::string readAll(ChildProcess& child)
{
    std::string text;
    char buf[256];
    for (;;) {
        long n = child.readOutput(buf, sizeof buf, 5000);
        if (n <= 0) return text;
        text.append(buf, static_cast<std::size_t>(n));
    }
}

TEST(ChildProcessTest, ArgumentsReachTheChildUnchangedWithoutAShell)
{
    ChildProcess child;
    ASSERT_EQ(child.start({"/bin/echo", "a b", "$HOME;x", "*", "'q'"}), 0);
    EXPECT_EQ(readAll(child), "a b $HOME;x * 'q'\n");
    int status = -1;
    ASSERT_TRUE(child.waitExit(5000, status));
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(ChildProcessTest, InputOutputAndErrorGoThroughThePipes)
{
    ChildProcess child;
    ASSERT_EQ(child.start({"/bin/cat"}), 0);
    ASSERT_EQ(child.writeInput("hello\n", 6), 0);
    child.closeInput();
    EXPECT_EQ(readAll(child), "hello\n");

    ChildProcess err;
    ASSERT_EQ(err.start({"/bin/ls", "/no/such/path/here"}), 0);
    EXPECT_NE(readAll(err).find("/no/such/path/here"), std::string::npos);
}

TEST(ChildProcessTest, InheritedDescriptorIsTheOnlyExtraOne)
{
    int pw[2];
    ASSERT_EQ(::pipe2(pw, O_CLOEXEC), 0);
    ASSERT_EQ(::write(pw[1], "secret\n", 7), 7);
    ::close(pw[1]);
    ChildProcess child;
    ASSERT_EQ(child.start({"/bin/cat", "/dev/fd/3"}, {{pw[0], 3}}), 0);
    ::close(pw[0]);
    EXPECT_EQ(readAll(child), "secret\n");

    // A descriptor opened without close-on-exec elsewhere stays out of the child.
    int devnull = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(devnull, 0);
    int stray = ::fcntl(devnull, F_DUPFD, 40);
    ::close(devnull);
    ASSERT_GE(stray, 40);
    ChildProcess lister;
    ASSERT_EQ(lister.start({"/bin/ls", "/proc/self/fd"}), 0);
    std::string fds = readAll(lister);
    ::close(stray);
    EXPECT_EQ(fds.find(std::to_string(stray) + "\n"), std::string::npos) << fds;
}

TEST(ChildProcessTest, ReadAndWaitAreBoundedAndKillEndsTheChild)
{
    ChildProcess child;
    ASSERT_EQ(child.start({"/bin/sleep", "30"}), 0);
    char buf[16];
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(child.readOutput(buf, sizeof buf, 100), ChildProcess::READ_TIMEOUT);
    int status = 0;
    EXPECT_FALSE(child.waitExit(100, status));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    pid_t pid = child.pid();
    child.kill();
    EXPECT_FALSE(child.started());
    EXPECT_NE(::kill(pid, 0), 0);
}

TEST(ChildProcessTest, WritingToAnEndedChildFailsWithoutSignal)
{
    ChildProcess child;
    ASSERT_EQ(child.start({"/bin/true"}), 0);
    int status = 0;
    ASSERT_TRUE(child.waitExit(5000, status));
    std::string big(1 << 17, 'x');
    EXPECT_EQ(child.writeInput(big.data(), big.size()), EPIPE);
    EXPECT_EQ(child.readOutput(big.data(), 16, 1000), ChildProcess::READ_END);
}

TEST(ChildProcessTest, MissingProgramOrRelativePathIsRefused)
{
    ChildProcess missing;
    EXPECT_EQ(missing.start({"/no/such/program"}), ENOENT);
    EXPECT_EQ(missing.stage(), ChildProcess::Stage::SPAWN);
    EXPECT_FALSE(missing.started());
    ChildProcess relative;
    EXPECT_EQ(relative.start({"echo"}), EINVAL);
}

}  // namespace
