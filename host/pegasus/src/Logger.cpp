#include <Pegasus/Common/Logger.h>

#include "LogFile.h"

#include <atomic>
#include <mutex>

namespace Pegasus {

namespace {

std::atomic<Uint32>& lowestLevel()
{
    static std::atomic<Uint32> level{Logger::INFORMATION};
    return level;
}

std::mutex& sinkMutex()
{
    static std::mutex m;
    return m;
}

Logger::Sink& sinkSlot()
{
    static Logger::Sink sink;
    return sink;
}

}  // namespace

std::string Logger::levelName(Uint32 logLevel)
{
    switch (logLevel) {
    case INFORMATION:
        return "INFORMATION";
    case WARNING:
        return "WARNING";
    case SEVERE:
        return "SEVERE";
    default:
        return "LEVEL" + std::to_string(logLevel);
    }
}

Logger::Sink Logger::setSink(Sink sink)
{
    std::lock_guard<std::mutex> lock(sinkMutex());
    Sink previous = std::move(sinkSlot());
    sinkSlot() = std::move(sink);
    return previous;
}

void Logger::setLogLevel(Uint32 lowest)
{
    lowestLevel().store(lowest > WARNING ? WARNING : lowest);
}

bool Logger::wouldLog(Uint32 logLevel)
{
    return logLevel >= lowestLevel().load(std::memory_order_relaxed);
}

void Logger::setRotation(std::uint64_t maxBytes, Uint32 keptFiles)
{
    LogFile::setRotation(maxBytes, keptFiles);
}

void Logger::put(LogFileType logFileType, const String& systemId, Uint32 logLevel,
                 const String& message)
{
    if (!wouldLog(logLevel))
        return;
    try {
        const char* fileName = logFileType == ERROR_LOG ? "error.log" : "standard.log";
        LogFile::appendLine(fileName, LogFile::timestamp() + " " + levelName(logLevel) + " " +
                                          systemId.str() + ": " + message.str());
        std::lock_guard<std::mutex> lock(sinkMutex());
        if (sinkSlot())
            sinkSlot()(Record{logFileType, systemId.str(), logLevel, message.str()});
    } catch (...) {
        // A record that cannot be written is dropped; logging never throws.
    }
}

}  // namespace Pegasus
