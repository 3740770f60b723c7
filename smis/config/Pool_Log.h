#pragma once
// Records of the pool engines: start and end lines on the information log,
// refusals at WARNING and caught exceptions at SEVERE on the error log.

#include "SMIS_TraceLog.h"

#define POOL_INFO(...) SMIS_TraceLog::peg_log(__FILE__, __LINE__, ::Pegasus::Logger::INFORMATION, __VA_ARGS__)
#define POOL_WARNING(...) \
    SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, ::Pegasus::Logger::WARNING, __VA_ARGS__)
#define POOL_SEVERE(...) \
    SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, ::Pegasus::Logger::SEVERE, __VA_ARGS__)
