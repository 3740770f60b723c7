#include "SMIS_TraceLog.h"

#include "LogCapture.h"
#include "TempInstallDir.h"

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

namespace {

// Switches tracing on or off for one test and restores it afterwards.
class TraceSwitch {
public:
    explicit TraceSwitch(bool on) : _before(Tracer::setTraceOn(on)) {}
    ~TraceSwitch() { Tracer::setTraceOn(_before); }

private:
    bool _before;
};

}  // namespace

TEST(SMIS_TraceLog, RecordNamesTheSourceBaseNameAndLine)
{
    struct Case {
        const char* file;
        const char* expected;
    } cases[] = {
        {"C:\\work\\smis\\providers\\VELDARO_X_Provider.cpp", "[VELDARO_X_Provider:120]count=3"},
        {"/src/smis/providers/VELDARO_X_Provider.cpp", "[VELDARO_X_Provider:120]count=3"},
        {"mixed/dir\\sub/Name.h", "[Name:120]count=3"},
        {"dir.v2/Name.tar.cpp", "[Name.tar:120]count=3"},
        {"Plain.cpp", "[Plain:120]count=3"},
        {"NoExtension", "[NoExtension:120]count=3"},
        {"/dir.with.dots/NoExtension", "[NoExtension:120]count=3"},
    };
    smis::test::TempInstallDir dir;
    for (const Case& c : cases) {
        smis::test::LogCapture capture;
        SMIS_TraceLog::peg_log(c.file, 120, Logger::INFORMATION, "count=%d", 3);
        const auto records = capture.logs();
        ASSERT_EQ(records.size(), 1u) << c.file;
        EXPECT_EQ(records[0].message, c.expected) << c.file;
        EXPECT_EQ(records[0].logFileType, Logger::STANDARD_LOG);
        EXPECT_EQ(records[0].logLevel, Logger::INFORMATION);
        EXPECT_EQ(records[0].systemId, "cimserver");
    }
}

TEST(SMIS_TraceLog, ErrorLogAndStandardLogAreSeparate)
{
    smis::test::TempInstallDir dir;
    smis::test::LogCapture capture;
    SMIS_TraceLog::peg_error_log("a/E.cpp", 7, Logger::SEVERE, "bad %s", "thing");
    SMIS_TraceLog::peg_log("a/S.cpp", 8, Logger::WARNING, "warned");
    SMIS_TraceLog::peg_log("a/S.cpp", 9, Logger::INFORMATION, nullptr);  // nothing

    EXPECT_EQ(capture.logMessages(Logger::ERROR_LOG), std::vector<std::string>{"[E:7]bad thing"});
    EXPECT_EQ(capture.logMessages(Logger::STANDARD_LOG), std::vector<std::string>{"[S:8]warned"});
    EXPECT_NE(dir.readFile("log/error.log").find("SEVERE cimserver: [E:7]bad thing"), std::string::npos);
    EXPECT_NE(dir.readFile("log/standard.log").find("WARNING cimserver: [S:8]warned"), std::string::npos);
}

TEST(SMIS_TraceLog, LongRecordsAreCutAt1023Characters)
{
    smis::test::TempInstallDir dir;
    smis::test::LogCapture capture;
    const std::string longText(5000, 'x');
    SMIS_TraceLog::peg_log("F.cpp", 1, Logger::INFORMATION, "%s", longText.c_str());
    // Exactly fits: prefix "[F:1]" (5) + 1018 characters.
    SMIS_TraceLog::peg_log("F.cpp", 1, Logger::INFORMATION, "%s", longText.substr(0, 1018).c_str());
    // A base name longer than the record leaves a cut prefix only.
    const std::string longName(2000, 'n');
    SMIS_TraceLog::peg_log((longName + ".cpp").c_str(), 1, Logger::INFORMATION, "tail");

    const auto messages = capture.logMessages(Logger::STANDARD_LOG);
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0], "[F:1]" + longText.substr(0, 1018));
    EXPECT_EQ(messages[1], messages[0]);
    EXPECT_EQ(messages[2].size(), 1023u);
    EXPECT_EQ(messages[2], "[" + longName.substr(0, 1022));
}

TEST(SMIS_TraceLog, TraceOnlyWhileTracingIsOn)
{
    smis::test::TempInstallDir dir;
    smis::test::LogCapture capture;
    {
        TraceSwitch off(false);
        testing::internal::CaptureStdout();
        SMIS_TraceLog::peg_trace("x/T.cpp", 5, Tracer::LEVEL3, "hidden %d", 1);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_TRUE(capture.traces().empty());
    }
    {
        TraceSwitch on(true);
        char prefix[32];
        std::snprintf(prefix, sizeof prefix, "[0x%x]", static_cast<unsigned>(::gettid()));
        testing::internal::CaptureStdout();
        SMIS_TraceLog::peg_trace("x/T.cpp", 5, Tracer::LEVEL4, "shown %d", 2);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string(prefix) + "shown 2\n");
        const auto traces = capture.traces();
        ASSERT_EQ(traces.size(), 1u);
        EXPECT_EQ(traces[0].fileName, "T");
        EXPECT_EQ(traces[0].lineNum, 5u);
        EXPECT_EQ(traces[0].traceComponent, static_cast<unsigned>(Pegasus::TRC_PROVIDERMANAGER));
        EXPECT_EQ(traces[0].message, std::string(prefix) + "shown 2");
    }
}

TEST(SMIS_TraceLog, MessageTable)
{
    EXPECT_STREQ(SMIS_TraceLog::msgIdToInsMessage(0), "EnumInstances Start");
    EXPECT_STREQ(SMIS_TraceLog::msgIdToInsMessage(1), "EnumInstances End");
    EXPECT_STREQ(SMIS_TraceLog::msgIdToInsMessage(2), "GetInstance Start");
    EXPECT_STREQ(SMIS_TraceLog::msgIdToInsMessage(3), "GetInstance End");
    EXPECT_STREQ(SMIS_TraceLog::msgIdToInsMessage(7), "Unknown");
    EXPECT_STREQ(SMIS_TraceLog::msgIdToInsMessage(255), "Unknown");
}
