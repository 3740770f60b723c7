#include "SMIS_MethodLock.h"

#include <cstring>

#include "NamedMutexLock.h"
#include "SMIS_RequestContext.h"
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
    if (SMIS_RequestContext::currentClientGone()) {
        _lock.reset();
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "client left while waiting for mutex(%s)",
                                 name.c_str());
        throw SMIS_ClientGone("the client left before its method could start");
    }
}

SMIS_MethodLock::~SMIS_MethodLock() = default;

}  // namespace cimple
