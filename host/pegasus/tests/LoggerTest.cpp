#include <Pegasus/Logger.h>
#include <Pegasus/System.h>
#include <Pegasus/Tracer.h>

#include "LogCapture.h"
#include "TempInstallDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

using Pegasus::Logger;
using Pegasus::Tracer;

TEST(Logger, WritesEachTypeToItsFileWithLevelAndSystem)
{
    smis::test::TempInstallDir dir;
    smis::test::LogCapture capture;

    Logger::put(Logger::STANDARD_LOG, Pegasus::System::CIMSERVER, Logger::INFORMATION, "first %s");
    Logger::put(Logger::ERROR_LOG, Pegasus::System::CIMSERVER, Logger::SEVERE, "broken");
    Logger::put(Logger::STANDARD_LOG, Pegasus::System::CIMSERVER, Logger::WARNING, "second");

    const std::string standard = dir.readFile("log/standard.log");
    const std::string error = dir.readFile("log/error.log");
    // The message is taken literally: "%s" stays as it is.
    EXPECT_NE(standard.find(" INFORMATION cimserver: first %s\n"), std::string::npos) << standard;
    EXPECT_NE(standard.find(" WARNING cimserver: second\n"), std::string::npos) << standard;
    EXPECT_EQ(standard.find("broken"), std::string::npos);
    EXPECT_NE(error.find(" SEVERE cimserver: broken\n"), std::string::npos) << error;

    const auto records = capture.logs();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[1].logFileType, Logger::ERROR_LOG);
    EXPECT_EQ(records[1].logLevel, Logger::SEVERE);
    EXPECT_EQ(records[1].systemId, "cimserver");
    EXPECT_EQ(records[1].message, "broken");
}

TEST(Logger, MakesTheLogFolderWhenMissing)
{
    smis::test::TempInstallDir dir;
    std::filesystem::remove_all(dir.file("log"));
    Logger::put(Logger::STANDARD_LOG, Pegasus::System::CIMSERVER, Logger::INFORMATION, "hello");
    EXPECT_NE(dir.readFile("log/standard.log").find("hello"), std::string::npos);
}

// The file stays open between records; a rotated (renamed) or removed log
// is noticed and a new file started within about a second.
TEST(Logger, StartsANewFileAfterTheOldOneWasRotated)
{
    smis::test::TempInstallDir dir;
    Logger::put(Logger::STANDARD_LOG, Pegasus::System::CIMSERVER, Logger::INFORMATION, "before");
    std::filesystem::rename(dir.file("log/standard.log"), dir.file("log/standard.log.1"));
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    Logger::put(Logger::STANDARD_LOG, Pegasus::System::CIMSERVER, Logger::INFORMATION, "after");
    EXPECT_NE(dir.readFile("log/standard.log").find("after"), std::string::npos);
    EXPECT_EQ(dir.readFile("log/standard.log").find("before"), std::string::npos);
    EXPECT_EQ(dir.readFile("log/standard.log.1").find("after"), std::string::npos);
}

TEST(Tracer, EnabledOnlyWhileTheSwitchIsOn)
{
    const bool before = Tracer::setTraceOn(false);
    EXPECT_FALSE(Tracer::isTraceOn());
    EXPECT_FALSE(Tracer::isTraceEnabled(Pegasus::TRC_PROVIDERMANAGER, Tracer::LEVEL3));
    Tracer::setTraceOn(true);
    EXPECT_TRUE(Tracer::isTraceOn());
    EXPECT_TRUE(Tracer::isTraceEnabled(Pegasus::TRC_PROVIDERMANAGER, Tracer::LEVEL3));
    EXPECT_TRUE(Tracer::isTraceEnabled(Pegasus::TRC_PROVIDERMANAGER, Tracer::LEVEL4));
    EXPECT_FALSE(Tracer::isTraceEnabled(Pegasus::TRC_PROVIDERMANAGER, 0));
    Tracer::setTraceOn(before);
}

TEST(Tracer, TraceRecordGoesToTheTraceFile)
{
    smis::test::TempInstallDir dir;
    smis::test::LogCapture capture;
    Tracer::traceCString("Mod", 12, Pegasus::TRC_PROVIDERMANAGER, "text %d");
    EXPECT_NE(dir.readFile("log/trace.log").find("[Mod:12] component 15: text %d\n"),
              std::string::npos);
    const auto traces = capture.traces();
    ASSERT_EQ(traces.size(), 1u);
    EXPECT_EQ(traces[0].fileName, "Mod");
    EXPECT_EQ(traces[0].lineNum, 12u);
    EXPECT_EQ(traces[0].traceComponent, 15u);
    EXPECT_EQ(traces[0].message, "text %d");
}
