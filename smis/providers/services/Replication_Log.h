#pragma once
// Log lines of the replication methods: failures at SEVERE through the error
// log, progress at INFORMATION.
//
//   Replication_Log::failure(__FILE__, __LINE__, "Invalid Parameter (Mode)");
//   Replication_Log::progress(__FILE__, __LINE__, "Mirrex Suspend - SessionID=%d", id);

#include "SMIS_TraceLog.h"

namespace cimple {

struct Replication_Log {
    template <class... Args>
    static void failure(const char* file, unsigned line, const char* fmt, Args... args)
    {
        SMIS_TraceLog::peg_error_log(file, line, Logger::SEVERE, fmt, args...);
    }
    static void failure(const char* file, unsigned line, const char* text)
    {
        SMIS_TraceLog::peg_error_log(file, line, Logger::SEVERE, "%s", text);
    }
    template <class... Args>
    static void progress(const char* file, unsigned line, const char* fmt, Args... args)
    {
        SMIS_TraceLog::peg_log(file, line, Logger::INFORMATION, fmt, args...);
    }
    static void progress(const char* file, unsigned line, const char* text)
    {
        SMIS_TraceLog::peg_log(file, line, Logger::INFORMATION, "%s", text);
    }
};

}  // namespace cimple
