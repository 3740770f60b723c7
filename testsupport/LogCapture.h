#pragma once
// Collects the log and trace records written while the object lives.
//
//   smis::test::LogCapture logs;
//   ... code under test ...
//   EXPECT_TRUE(logs.hasLog(Pegasus::Logger::ERROR_LOG, "Read at end of file"));
//
// Records still go to the log files as well. One capture at a time.

#include <Pegasus/Logger.h>
#include <Pegasus/Tracer.h>

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace smis::test {

class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<Pegasus::Logger::Record> logs() const;
    std::vector<Pegasus::Tracer::Record> traces() const;

    // Messages of the log records of one type (standard or error log), in order.
    std::vector<std::string> logMessages(Pegasus::Logger::LogFileType type) const;

    // True when a record of that type contains the text.
    bool hasLog(Pegasus::Logger::LogFileType type, std::string_view text) const;
    // True when any log record (either type) contains the text.
    bool hasLog(std::string_view text) const;
    // True when a trace record contains the text.
    bool hasTrace(std::string_view text) const;

    void clear();

private:
    mutable std::mutex _lock;
    std::vector<Pegasus::Logger::Record> _logs;
    std::vector<Pegasus::Tracer::Record> _traces;
    Pegasus::Logger::Sink _previousLogSink;
    Pegasus::Tracer::Sink _previousTraceSink;
};

}  // namespace smis::test
