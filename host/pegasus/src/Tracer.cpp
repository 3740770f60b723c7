#include <Pegasus/Common/Tracer.h>

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

Boolean Tracer::isTraceEnabled(TraceComponentId /*traceComponent*/, Uint32 traceLevel)
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

void Tracer::traceCString(const char* fileName, Uint32 lineNum, TraceComponentId traceComponent,
                          const char* message)
{
    try {
        const std::string file = fileName ? fileName : "";
        const std::string text = message ? message : "";
        LogFile::appendLine("trace.log", LogFile::timestamp() + " [" + file + ":" +
                                             std::to_string(lineNum) + "] component " +
                                             std::to_string(traceComponent) + ": " + text);
        std::lock_guard<std::mutex> lock(sinkMutex());
        if (sinkSlot())
            sinkSlot()(Record{file, lineNum, static_cast<Uint32>(traceComponent), text});
    } catch (...) {
        // A record that cannot be written is dropped; tracing never throws.
    }
}

}  // namespace Pegasus
