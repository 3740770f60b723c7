#pragma once
// Appends whole lines to one file under <install>/log/, creating the folder
// when missing. Lines from several threads never interleave.

#include <string>

namespace Pegasus {

class LogFile {
public:
    static void appendLine(const char* fileName, const std::string& line);

    // "2026-01-31T12:00:00.123Z": the current UTC time, millisecond precision.
    static std::string timestamp();
};

}  // namespace Pegasus
