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

// At level WARNING information records are left out, from the files and
// from a sink; warnings and severe errors stay whatever the level asked.
TEST(Logger, LevelLeavesOutInformationButNeverWarningsOrSevereErrors)
{
    smis::test::TempInstallDir dir;
    smis::test::LogCapture capture;
    for (Pegasus::Uint32 level : {Logger::WARNING, Logger::SEVERE}) {
        Logger::setLogLevel(level);
        EXPECT_FALSE(Logger::wouldLog(Logger::INFORMATION));
        EXPECT_TRUE(Logger::wouldLog(Logger::WARNING));
        Logger::put(Logger::STANDARD_LOG, Pegasus::System::CIMSERVER, Logger::INFORMATION, "chatter");
        Logger::put(Logger::STANDARD_LOG, Pegasus::System::CIMSERVER, Logger::WARNING, "warned");
        Logger::put(Logger::ERROR_LOG, Pegasus::System::CIMSERVER, Logger::SEVERE, "broken");
    }
    Logger::setLogLevel(Logger::INFORMATION);
    Logger::put(Logger::STANDARD_LOG, Pegasus::System::CIMSERVER, Logger::INFORMATION, "told");

    const std::string standard = dir.readFile("log/standard.log");
    EXPECT_EQ(standard.find("chatter"), std::string::npos) << standard;
    EXPECT_NE(standard.find("told"), std::string::npos) << standard;
    EXPECT_NE(dir.readFile("log/error.log").find("broken"), std::string::npos);
    EXPECT_EQ(capture.logs().size(), 5u);
}

// A file that would pass its size limit is rotated: the newest old records
// are in .1, the older in .2, and nothing beyond the kept count remains.
TEST(Logger, RotatesAFileAtItsSizeLimitKeepingTheGivenCount)
{
    smis::test::TempInstallDir dir;
    Logger::setRotation(1000, 2);
    const std::string filler(90, 'x');
    for (int i = 0; i < 60; i++)
        Logger::put(Logger::STANDARD_LOG, Pegasus::System::CIMSERVER, Logger::WARNING,
                    "record " + std::to_string(i) + " " + filler);
    Logger::setRotation(10u << 20, 5);

    for (const char* name : {"log/standard.log", "log/standard.log.1", "log/standard.log.2"}) {
        SCOPED_TRACE(name);
        const auto size = std::filesystem::file_size(dir.file(name));
        EXPECT_GT(size, 0u);
        EXPECT_LE(size, 1000u);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("log/standard.log.3")));
    EXPECT_NE(dir.readFile("log/standard.log").find("record 59 "), std::string::npos);
    const std::string previous = dir.readFile("log/standard.log.1");
    const std::string older = dir.readFile("log/standard.log.2");
    // Each record is whole in one file, the older ones further back.
    EXPECT_EQ(previous.find("record 59 "), std::string::npos);
    EXPECT_EQ(previous.back(), '\n');
    const auto first = [](const std::string& text) { return std::stoi(text.substr(text.find("record ") + 7)); };
    EXPECT_LT(first(older), first(previous));
    EXPECT_LT(first(previous), first(dir.readFile("log/standard.log")));
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
