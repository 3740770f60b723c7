// Records and key handling of the pool providers' methods.

#include "Pool_Methods.h"

#include <cstdarg>
#include <cstdio>

#include "CommonBase.h"
#include "SMIS_TraceLog.h"

namespace cimple {

void Pool_Methods::logStep(const char* file, unsigned line, const char* fmt, ...)
{
    char text[512];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(text, sizeof text, fmt, args);
    va_end(args);
    SMIS_TraceLog::peg_trace(file, line, Tracer::LEVEL3, "%s", text);
    SMIS_TraceLog::peg_log(file, line, Logger::INFORMATION, "%s", text);
}

void Pool_Methods::logInvalidElementType(const char* file, unsigned line, const Property<uint16>& elementType)
{
    SMIS_TraceLog::peg_log(file, line, Logger::SEVERE, "Invalid ElementType:%d",
                           elementType.null ? -1 : static_cast<int>(elementType.value));
}

bool Pool_Methods::storageOf(const Property<String>& instanceId, String& address)
{
    if (instanceId.null)
        return false;
    return CommonBase::get_storage_ip(&instanceId.value, &address);
}

}  // namespace cimple
