#pragma once
// Log of the CIM server: records of a severity level go to the standard log
// (<install>/log/standard.log) or the error log (<install>/log/error.log).
// Records below the log level are left out (WARNING and SEVERE always stay);
// a log file that would grow past its size limit is rotated first
// (standard.log becomes standard.log.1, .1 becomes .2, and so on, the
// oldest beyond the kept count going). A test may install a sink that
// receives every record that is logged as well.

#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/String.h>

#include <cstdint>
#include <functional>
#include <string>

namespace Pegasus {

class Logger {
public:
    enum LogFileType : Uint32 { STANDARD_LOG = 1, ERROR_LOG = 3 };

    static constexpr Uint32 INFORMATION = 2;
    static constexpr Uint32 WARNING = 4;
    static constexpr Uint32 SEVERE = 8;

    // The lowest level logged: INFORMATION (the default) or WARNING; a
    // higher value is taken as WARNING, so warnings and severe errors are
    // always kept.
    static void setLogLevel(Uint32 lowest);
    // True when a record of that level is logged: callers that format a
    // message first ask, so a record left out costs nothing.
    static bool wouldLog(Uint32 logLevel);

    // Each log file holds at most maxBytes (0: no limit) before it is
    // rotated; keptFiles rotated files are kept (default 10 MiB and 5).
    static void setRotation(std::uint64_t maxBytes, Uint32 keptFiles);

    // Appends one record; the message is taken literally (never as a format).
    static void put(LogFileType logFileType, const String& systemId, Uint32 logLevel,
                    const String& message);

    struct Record {
        LogFileType logFileType;
        std::string systemId;
        Uint32 logLevel;
        std::string message;
    };
    using Sink = std::function<void(const Record&)>;

    // Installs a sink that sees every record (in addition to the log files);
    // an empty sink removes it. Returns the sink installed before.
    static Sink setSink(Sink sink);

    // "INFORMATION", "WARNING", "SEVERE", or "LEVEL<n>" for any other value.
    static std::string levelName(Uint32 logLevel);
};

}  // namespace Pegasus
