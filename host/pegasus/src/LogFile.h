#pragma once
// Appends whole lines to one file under <install>/log/, creating the folder
// when missing. Lines from several threads never interleave. A file that a
// line would take past the size limit is rotated first.

#include <cstdint>
#include <string>

namespace Pegasus {

class LogFile {
public:
    static void appendLine(const char* fileName, const std::string& line);

    // maxBytes: the size limit of a file (0: none); keptFiles: how many
    // rotated files (<name>.1 newest ... <name>.<keptFiles>) are kept.
    static void setRotation(std::uint64_t maxBytes, unsigned keptFiles);

    // "2026-01-31T12:00:00.123Z": the current UTC time, millisecond precision.
    static std::string timestamp();
};

}  // namespace Pegasus
