#include "LogCapture.h"

namespace smis::test {

LogCapture::LogCapture()
{
    _previousLogSink = Pegasus::Logger::setSink([this](const Pegasus::Logger::Record& r) {
        std::lock_guard<std::mutex> guard(_lock);
        _logs.push_back(r);
    });
    _previousTraceSink = Pegasus::Tracer::setSink([this](const Pegasus::Tracer::Record& r) {
        std::lock_guard<std::mutex> guard(_lock);
        _traces.push_back(r);
    });
}

LogCapture::~LogCapture()
{
    Pegasus::Logger::setSink(std::move(_previousLogSink));
    Pegasus::Tracer::setSink(std::move(_previousTraceSink));
}

std::vector<Pegasus::Logger::Record> LogCapture::logs() const
{
    std::lock_guard<std::mutex> guard(_lock);
    return _logs;
}

std::vector<Pegasus::Tracer::Record> LogCapture::traces() const
{
    std::lock_guard<std::mutex> guard(_lock);
    return _traces;
}

std::vector<std::string> LogCapture::logMessages(Pegasus::Logger::LogFileType type) const
{
    std::lock_guard<std::mutex> guard(_lock);
    std::vector<std::string> out;
    for (const auto& r : _logs) {
        if (r.logFileType == type)
            out.push_back(r.message);
    }
    return out;
}

bool LogCapture::hasLog(Pegasus::Logger::LogFileType type, std::string_view text) const
{
    std::lock_guard<std::mutex> guard(_lock);
    for (const auto& r : _logs) {
        if (r.logFileType == type && r.message.find(text) != std::string::npos)
            return true;
    }
    return false;
}

bool LogCapture::hasLog(std::string_view text) const
{
    return hasLog(Pegasus::Logger::STANDARD_LOG, text) || hasLog(Pegasus::Logger::ERROR_LOG, text);
}

bool LogCapture::hasTrace(std::string_view text) const
{
    std::lock_guard<std::mutex> guard(_lock);
    for (const auto& r : _traces) {
        if (r.message.find(text) != std::string::npos)
            return true;
    }
    return false;
}

void LogCapture::clear()
{
    std::lock_guard<std::mutex> guard(_lock);
    _logs.clear();
    _traces.clear();
}

}  // namespace smis::test
