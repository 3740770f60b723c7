#include <Pegasus/Common/Logger.h>

#include "LogFile.h"

#include <mutex>

namespace Pegasus {

namespace {

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

void Logger::put(LogFileType logFileType, const String& systemId, Uint32 logLevel,
                 const String& message)
{
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
