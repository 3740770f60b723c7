#pragma once
// Trace of the CIM server: records go to <install>/log/trace.log while the
// trace switch is on. A test may install a sink that receives every record.

#include <Pegasus/Config.h>

#include <atomic>
#include <functional>
#include <string>

namespace Pegasus {

class Tracer {
public:
    static constexpr Uint32 LEVEL3 = 4;
    static constexpr Uint32 LEVEL4 = 8;

    // The trace switch: nothing is traced while it is off (the default).
    static std::atomic<bool> _traceOn;

    // True while the switch is on, for any component and level LEVEL3 or LEVEL4.
    static Boolean isTraceEnabled(Uint32 traceComponent, Uint32 traceLevel);

    // Writes one trace record; the message is taken literally.
    static void _trace(const char* fileName, Uint32 lineNum, Uint32 traceComponent,
                       Uint32 traceLevel, const char* message);

    struct Record {
        std::string fileName;
        Uint32 lineNum;
        Uint32 traceComponent;
        Uint32 traceLevel;
        std::string message;
    };
    using Sink = std::function<void(const Record&)>;

    // Installs a sink that sees every record (in addition to the trace file);
    // an empty sink removes it. Returns the sink installed before.
    static Sink setSink(Sink sink);
};

}  // namespace Pegasus
