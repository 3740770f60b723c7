#include <Pegasus/Tracer.h>

#include "LogFile.h"

#include <mutex>

namespace Pegasus {

std::atomic<bool> Tracer::_traceOn{false};

namespace {

std::mutex& sinkMutex()
{
    static std::mutex m;
    return m;
}

Tracer::Sink& sinkSlot()
{
    static Tracer::Sink sink;
    return sink;
}

}  // namespace

Boolean Tracer::isTraceEnabled(Uint32 /*traceComponent*/, Uint32 traceLevel)
{
    return _traceOn.load() && (traceLevel == LEVEL3 || traceLevel == LEVEL4);
}

Tracer::Sink Tracer::setSink(Sink sink)
{
    std::lock_guard<std::mutex> lock(sinkMutex());
    Sink previous = std::move(sinkSlot());
    sinkSlot() = std::move(sink);
    return previous;
}

void Tracer::_trace(const char* fileName, Uint32 lineNum, Uint32 traceComponent, Uint32 traceLevel,
                    const char* message)
{
    try {
        const std::string file = fileName ? fileName : "";
        const std::string text = message ? message : "";
        LogFile::appendLine("trace.log", LogFile::timestamp() + " [" + file + ":" +
                                             std::to_string(lineNum) + "] component " +
                                             std::to_string(traceComponent) + " level " +
                                             std::to_string(traceLevel) + ": " + text);
        std::lock_guard<std::mutex> lock(sinkMutex());
        if (sinkSlot())
            sinkSlot()(Record{file, lineNum, traceComponent, traceLevel, text});
    } catch (...) {
        // A record that cannot be written is dropped; tracing never throws.
    }
}

}  // namespace Pegasus
