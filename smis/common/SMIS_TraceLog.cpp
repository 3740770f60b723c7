#include "SMIS_TraceLog.h"

#include <Pegasus/Common/String.h>
#include <Pegasus/Common/System.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

constexpr size_t RECORD_SIZE = 1024;
constexpr size_t TRACE_SIZE = 4096;

struct SMIS_MESSAGE_ROW {
    unsigned char id;
    const char* text;
};

const SMIS_MESSAGE_ROW SMIS_MESSAGE[] = {
    {0, "EnumInstances Start"},
    {1, "EnumInstances End"},
    {2, "GetInstance Start"},
    {3, "GetInstance End"},
    {255, "Unknown"},
};

// The file name of a source path without directory and extension: the text
// after the last '/' or '\' and before the last '.' that follows it. A name
// without '.' is taken whole. The result is cut to fit the buffer.
void baseName(const char* path, char* out, size_t size)
{
    std::memset(out, 0, size);
    if (!path)
        return;
    const char* start = path;
    for (const char* p = path; *p; ++p) {
        if (*p == '/' || *p == '\\')
            start = p + 1;
    }
    const char* end = std::strrchr(start, '.');
    if (!end)
        end = start + std::strlen(start);
    size_t length = static_cast<size_t>(end - start);
    if (length > size - 1)
        length = size - 1;
    std::memcpy(out, start, length);
}

// The program's own system id; null for the CIM server's.
std::atomic<const char*>& systemId()
{
    static std::atomic<const char*> id{nullptr};
    return id;
}

void writeLog(Pegasus::Logger::LogFileType type, const char* file, unsigned line, unsigned level,
              const char* fmt, va_list args)
{
    // A record below the log level is not even formatted.
    if (!fmt || !Pegasus::Logger::wouldLog(level))
        return;
    char text[RECORD_SIZE] = {};
    char base[RECORD_SIZE];
    baseName(file, base, sizeof base);
    // A base name too long for the record is cut; the record is still terminated.
    if (std::snprintf(text, sizeof text, "[%s:%u]", base, line) < 0)
        return;
    const size_t prefix = std::strlen(text);
    if (prefix < sizeof text - 1)
        std::vsnprintf(text + prefix, sizeof text - prefix, fmt, args);
    const char* id = systemId().load();
    Pegasus::Logger::put(type, id ? Pegasus::String(id) : Pegasus::System::CIMSERVER, level, Pegasus::String(text));
}

}  // namespace

void SMIS_TraceLog::peg_log(const char* file, unsigned line, unsigned level, const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    writeLog(Pegasus::Logger::STANDARD_LOG, file, line, level, fmt, args);
    va_end(args);
}

void SMIS_TraceLog::peg_error_log(const char* file, unsigned line, unsigned level, const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    writeLog(Pegasus::Logger::ERROR_LOG, file, line, level, fmt, args);
    va_end(args);
}

void SMIS_TraceLog::peg_trace(const char* file, unsigned line, unsigned level, const char* fmt, ...)
{
    if (!fmt || !Pegasus::Tracer::isTraceOn())
        return;
    char text[TRACE_SIZE] = {};
    std::snprintf(text, sizeof text, "[0x%x]", static_cast<unsigned>(::gettid()));
    const size_t prefix = std::strlen(text);
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(text + prefix, sizeof text - prefix, fmt, args);
    va_end(args);

    std::fputs(text, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);

    char base[RECORD_SIZE];
    baseName(file, base, sizeof base);
    if (Pegasus::Tracer::isTraceEnabled(TRACE_COMPONENT, level))
        Pegasus::Tracer::traceCString(base, line, TRACE_COMPONENT, text);
}

void SMIS_TraceLog::setSystemId(const char* id)
{
    // Names are string literals: the pointer stays valid for the process.
    systemId().store(id && *id ? id : nullptr);
}

const char* SMIS_TraceLog::msgIdToInsMessage(unsigned char id)
{
    for (const SMIS_MESSAGE_ROW& row : SMIS_MESSAGE) {
        if (row.id == id && row.id != 255)
            return row.text;
    }
    return "Unknown";
}
