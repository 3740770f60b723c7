#include "SMIS_MethodLock.h"

#include <cstring>

#include "NamedMutexLock.h"
#include "SMIS_TraceLog.h"

namespace cimple {

std::string SMIS_MethodLock::mutexName(const char* address)
{
    std::string name = "Global\\SMIS_ConfigurationMethod_Mutex_";
    if (address)
        name.append(address, strnlen(address, 15));
    return name;
}

SMIS_MethodLock::SMIS_MethodLock(const char* address)
{
    const std::string name = mutexName(address);
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "wait mutex(%s)", name.c_str());
    _lock = std::make_unique<smis::platform::NamedMutexLock>(name);
}

SMIS_MethodLock::~SMIS_MethodLock() = default;

}  // namespace cimple
