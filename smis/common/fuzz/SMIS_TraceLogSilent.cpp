// SMIS_TraceLog without a CIM server layer behind it, for the standalone
// fuzzer build: records are dropped.

#include "SMIS_TraceLog.h"

void SMIS_TraceLog::peg_log(const char*, unsigned, unsigned, const char*, ...) {}
void SMIS_TraceLog::peg_error_log(const char*, unsigned, unsigned, const char*, ...) {}
void SMIS_TraceLog::peg_trace(const char*, unsigned, unsigned, const char*, ...) {}
const char* SMIS_TraceLog::msgIdToInsMessage(unsigned char) { return "Unknown"; }
