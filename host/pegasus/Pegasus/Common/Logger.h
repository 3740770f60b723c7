#pragma once
// Log of the CIM server: records of a severity level go to the standard log
// (<install>/log/standard.log) or the error log (<install>/log/error.log).
// A test may install a sink that receives every record as well.

#include <Pegasus/Common/Config.h>
#include <Pegasus/Common/String.h>

#include <functional>
#include <string>

namespace Pegasus {

class Logger {
public:
    enum LogFileType : Uint32 { STANDARD_LOG = 1, ERROR_LOG = 3 };

    static constexpr Uint32 INFORMATION = 2;
    static constexpr Uint32 WARNING = 4;
    static constexpr Uint32 SEVERE = 8;

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
