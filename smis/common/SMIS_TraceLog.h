#pragma once
// The one logging facility of arraycore and arrayprov.
//
// Every record names the caller's source file (base name, without directory
// and extension) and line: peg_log and peg_error_log write "[file:line]message"
// (at most 1,023 characters) to the CIM server's standard and error log;
// peg_trace writes "[0x<thread id>]message" to standard output and to the
// CIM server's trace (component TRC_PROVIDERMANAGER), only while tracing is switched on.
//
//   SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "count=%d", n);

#include <Pegasus/Common/Logger.h>
#include <Pegasus/Common/Tracer.h>

using Pegasus::Logger;
using Pegasus::Tracer;

class SMIS_TraceLog {
public:
    // One record to the standard log; level is Logger::INFORMATION, WARNING or SEVERE.
    static void peg_log(const char* file, unsigned line, unsigned level, const char* fmt, ...)
        __attribute__((format(printf, 4, 5)));

    // One record to the error log.
    static void peg_error_log(const char* file, unsigned line, unsigned level, const char* fmt, ...)
        __attribute__((format(printf, 4, 5)));

    // One trace record while tracing is on; level is Tracer::LEVEL3 or LEVEL4.
    // With tracing off the arguments are not formatted at all.
    static void peg_trace(const char* file, unsigned line, unsigned level, const char* fmt, ...)
        __attribute__((format(printf, 4, 5)));

    // System id of the program's log records: "cimserver" unless the program
    // names itself (a tool such as credkeep logs under its own name).
    static void setSystemId(const char* systemId);

    // Text of the message table row with that id; "Unknown" for any other id.
    static const char* msgIdToInsMessage(unsigned char id);

    // Trace component of every trace record of the system: the provider
    // manager's, the one an administrator switches on to trace providers.
    static constexpr Pegasus::TraceComponentId TRACE_COMPONENT = Pegasus::TRC_PROVIDERMANAGER;

private:
    SMIS_TraceLog() {}
    ~SMIS_TraceLog() {}
    SMIS_TraceLog& operator=(const SMIS_TraceLog&) { return *this; }
};
