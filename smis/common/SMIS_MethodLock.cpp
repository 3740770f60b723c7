#include "SMIS_MethodLock.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "NamedMutex.h"
#include "NamedMutexLock.h"
#include "SMIS_RequestContext.h"
#include "SMIS_TraceLog.h"

namespace cimple {

namespace {

constexpr std::chrono::milliseconds WAIT_SLICE{500};

std::atomic<long long> boundMs{std::chrono::milliseconds(SMIS_MethodLock::WAIT_BOUND).count()};

}  // namespace

std::chrono::milliseconds SMIS_MethodLock::waitBound()
{
    return std::chrono::milliseconds(boundMs.load());
}

void SMIS_MethodLock::setWaitBound(std::chrono::milliseconds bound)
{
    boundMs = bound.count();
}

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
    // The wait goes in slices, so that the server's stop or the client's
    // leaving ends it within one slice: the method is then not carried out.
    const auto end = std::chrono::steady_clock::now() + waitBound();
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        try {
            _lock = std::make_unique<smis::platform::NamedMutexLock>(
                name, std::clamp(left, std::chrono::milliseconds(0), WAIT_SLICE));
            return;
        } catch (const smis::platform::NamedMutexTimeout&) {
            if (SMIS_RequestContext::currentCancelled()) {
                SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION,
                                       "Cancel Event: the method on %s is not carried out", address ? address : "");
                throw;
            }
            if (std::chrono::steady_clock::now() >= end) {
                SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING,
                                       "Another method on %s still runs after %lld ms: this one is not carried out",
                                       address ? address : "", static_cast<long long>(waitBound().count()));
                throw;
            }
        }
    }
}

SMIS_MethodLock::~SMIS_MethodLock() = default;

}  // namespace cimple
