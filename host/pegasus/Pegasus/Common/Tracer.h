#pragma once
// Trace of the CIM server: records go to <install>/log/trace.log while the
// trace switch is on. A test may install a sink that receives every record.

#include <Pegasus/Common/Config.h>

#include <atomic>
#include <functional>
#include <string>

namespace Pegasus {

// Trace components, numbered as in the CIM server's own list (0 to 42); only
// those the system traces under are named here.
enum TraceComponentId {
    TRC_PROVIDERMANAGER = 15,
};

class Tracer {
public:
    static constexpr Uint32 LEVEL3 = 4;
    static constexpr Uint32 LEVEL4 = 8;

    // The trace switch: nothing is traced while it is off (the default).
    static Boolean isTraceOn() { return _traceOn.load(); }
    // Sets the switch; the embedded server's configuration (and tests) use
    // it. Returns the setting before.
    static Boolean setTraceOn(Boolean on) { return _traceOn.exchange(on); }

    // True while the switch is on, for any component and level LEVEL3 or LEVEL4.
    static Boolean isTraceEnabled(TraceComponentId traceComponent, Uint32 traceLevel);

    // Writes one trace record; the text is taken literally.
    static void traceCString(const char* fileName, Uint32 lineNum, TraceComponentId traceComponent,
                             const char* cstring);

    struct Record {
        std::string fileName;
        Uint32 lineNum;
        Uint32 traceComponent;
        std::string message;
    };
    using Sink = std::function<void(const Record&)>;

    // Installs a sink that sees every record (in addition to the trace file);
    // an empty sink removes it. Returns the sink installed before.
    static Sink setSink(Sink sink);

private:
    static std::atomic<bool> _traceOn;
};

}  // namespace Pegasus
