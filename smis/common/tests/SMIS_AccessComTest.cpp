#include "SMIS_AccessCom.h"

#include "LogCapture.h"
#include "SMIS_TraceLog.h"
#include "TempInstallDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <thread>
#include <unistd.h>

using cimple::SMIS_AccessCom;
using Pegasus::Logger;

namespace {

class TraceSwitch {
public:
    explicit TraceSwitch(bool on) : _before(Tracer::setTraceOn(on)) {}
    ~TraceSwitch() { Tracer::setTraceOn(_before); }

private:
    bool _before;
};

}  // namespace

TEST(SMIS_AccessCom, InstallDirFollowsTheOverride)
{
    smis::test::TempInstallDir dir;
    char buffer[cimple::SMIS_MAX_PATH];
    SMIS_AccessCom::getInstallDir(buffer);
    EXPECT_EQ(std::string(buffer), dir.path());
    EXPECT_STREQ(SMIS_AccessCom::GetInstallDir().c_str(), dir.path().c_str());

    char tooSmall[4] = "xyz";
    SMIS_AccessCom::getInstallDir(tooSmall, sizeof tooSmall);
    EXPECT_STREQ(tooSmall, "");
}

TEST(SMIS_AccessCom, AllocMemory)
{
    smis::test::TempInstallDir dir;
    struct Case {
        int count;
        int size;
        bool allocated;
        const char* log;
    } cases[] = {
        {3, 4, true, nullptr},
        {0, 16, false, "element_count is 0"},
        {16, 0, false, "element_count is 0"},
        // The int product would wrap to 65536; the full size is refused instead.
        {65536, 65537, false, "Not enough memory(size=4295032832, errno=12)"},
        {-1, 4, false, "Not enough memory(size=-4, errno=12)"},
        {INT32_MAX, INT32_MAX, false, "Not enough memory(size=4611686014132420609, errno=12)"},
    };
    for (const Case& c : cases) {
        smis::test::LogCapture capture;
        void* block = SMIS_AccessCom::allocMemory(c.count, c.size);
        EXPECT_EQ(block != nullptr, c.allocated) << c.count << "x" << c.size;
        if (block) {
            const unsigned char zero[12] = {};
            EXPECT_EQ(std::memcmp(block, zero, sizeof zero), 0);
        }
        if (c.log)
            EXPECT_TRUE(capture.hasLog(c.log)) << c.log;
        else
            EXPECT_TRUE(capture.logs().empty());
        SMIS_AccessCom::freeMemory(block);
    }
    SMIS_AccessCom::freeMemory(nullptr);
}

TEST(SMIS_AccessCom, ErrorTextIsCodeAndMessage)
{
    char buffer[64];
    SMIS_AccessCom::getLastErrorMsg(ENOENT, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "(0x2)No such file or directory");

    char small[8];
    SMIS_AccessCom::getLastErrorMsg(ENOENT, small, sizeof small);
    EXPECT_STREQ(small, "(0x2)No");

    SMIS_AccessCom access;
    EXPECT_STREQ(access.getLastErrorMsg(EACCES), "(0xd)Permission denied");
    EXPECT_STREQ(access.lastErrorMsg(), "(0xd)Permission denied");
    SMIS_AccessCom copy;
    copy = access;
    EXPECT_STREQ(copy.lastErrorMsg(), "(0xd)Permission denied");
}

TEST(SMIS_AccessCom, EventsThroughHandles)
{
    smis::test::TempInstallDir dir;
    smis::test::LogCapture capture;
    TraceSwitch on(true);
    SMIS_AccessCom access;

    EXPECT_TRUE(access.setEvent(nullptr));
    EXPECT_TRUE(access.resetEvent(nullptr));
    EXPECT_TRUE(access.closeEvent(nullptr));
    EXPECT_TRUE(capture.logs().empty());
    EXPECT_TRUE(capture.traces().empty());

    EXPECT_EQ(access.openEvent("Global\\SMIS_Test_Missing"), nullptr);
    EXPECT_TRUE(capture.hasLog(Logger::ERROR_LOG, "Failed OpenEvent:(0x2)No such file or directory"));
    EXPECT_FALSE(access.isEventSignal("Global\\SMIS_Test_Missing", 10));

    cimple::SMIS_EventHandle event = access.createEvent("Global\\SMIS_Test_Stop");
    ASSERT_NE(event, nullptr);
    EXPECT_TRUE(capture.hasTrace("CreateEvent ok:Global\\SMIS_Test_Stop"));
    EXPECT_FALSE(access.isEventSignal("Global\\SMIS_Test_Stop", 50));

    std::thread setter([] {
        SMIS_AccessCom other;
        cimple::SMIS_EventHandle h = other.openEvent("Global\\SMIS_Test_Stop");
        other.setEvent(h);
        other.closeEvent(h);
    });
    setter.join();
    EXPECT_TRUE(access.isEventSignal("Global\\SMIS_Test_Stop", 1000));
    EXPECT_TRUE(access.resetEvent(event));
    EXPECT_FALSE(access.isEventSignal("Global\\SMIS_Test_Stop", 0));

    char expected[64];
    std::snprintf(expected, sizeof expected, "SetEvent(0x%x) ok", event->id());
    EXPECT_TRUE(access.setEvent(event));
    EXPECT_TRUE(capture.hasTrace(expected));
    EXPECT_TRUE(access.closeEvent(event));
    EXPECT_EQ(access.openEvent("Global\\SMIS_Test_Stop"), nullptr) << "gone with its last handle";
}

TEST(SMIS_AccessCom, ExactLengthFileTransfers)
{
    smis::test::TempInstallDir dir;
    smis::test::LogCapture capture;
    const std::string path = dir.file("data/blob");
    const std::string payload(100000, 'q');

    int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(SMIS_AccessCom::write_file(fd, payload.data(), payload.size()), 100000);
    ::close(fd);

    std::string back(100000, '\0');
    fd = ::open(path.c_str(), O_RDONLY);
    EXPECT_EQ(SMIS_AccessCom::read_file(fd, back.data(), back.size()), 100000);
    EXPECT_EQ(back, payload);
    char more[8];
    EXPECT_EQ(SMIS_AccessCom::read_file(fd, more, sizeof more), -1);
    EXPECT_TRUE(capture.hasLog(Logger::ERROR_LOG, "Read at end of file"));
    ::close(fd);

    capture.clear();
    EXPECT_EQ(SMIS_AccessCom::write_file(-1, "x", 1), -1);
    EXPECT_TRUE(capture.hasLog(Logger::ERROR_LOG, "Failed write(9)"));
    EXPECT_EQ(SMIS_AccessCom::read_file(-1, more, 1), -1);
    EXPECT_TRUE(capture.hasLog(Logger::ERROR_LOG, "Failed read(9)"));
}

TEST(SMIS_AccessCom, CreateDirectory)
{
    smis::test::TempInstallDir dir;
    smis::test::LogCapture capture;
    TraceSwitch on(true);
    SMIS_AccessCom access;

    EXPECT_TRUE(access.createDirectory(dir.file("data").c_str()));
    EXPECT_TRUE(capture.traces().empty()) << "an existing directory is not traced";

    const std::string fresh = dir.file("data/new");
    EXPECT_TRUE(access.createDirectory(fresh.c_str()));
    EXPECT_TRUE(std::filesystem::is_directory(fresh));
    EXPECT_TRUE(capture.hasTrace("dir(" + fresh + ") is not found. now create."));

    EXPECT_FALSE(access.createDirectory(dir.file("no/such/parent").c_str()));
    EXPECT_TRUE(capture.hasLog(Logger::ERROR_LOG, "Failed CreateDirectory:(0x2)No such file or directory"));
}
