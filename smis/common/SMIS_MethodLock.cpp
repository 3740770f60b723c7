#include "SMIS_MethodLock.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <mutex>

#include "NamedMutex.h"
#include "NamedMutexLock.h"
#include "SMIS_RequestContext.h"
#include "SMIS_TraceLog.h"

namespace cimple {

namespace {

constexpr std::chrono::milliseconds SLICE{200};

std::atomic<long long> boundMs{std::chrono::milliseconds(SMIS_MethodLock::WAIT_BOUND).count()};
std::atomic<unsigned> limit{SMIS_MethodLock::WAIT_LIMIT};

// Callers per method-lock name that wait for the lock or hold it.
std::mutex placesMutex;
std::map<std::string, unsigned> places;
// Places the thread holds: a lock nested on the thread takes none more, so a
// method that holds its array's lock is never refused its own.
thread_local std::map<std::string, unsigned> ownPlaces;

}  // namespace

std::chrono::milliseconds SMIS_MethodLock::waitBound()
{
    return std::chrono::milliseconds(boundMs.load());
}

void SMIS_MethodLock::setWaitBound(std::chrono::milliseconds bound)
{
    boundMs = bound.count();
}

unsigned SMIS_MethodLock::waitLimit()
{
    return limit.load();
}

void SMIS_MethodLock::setWaitLimit(unsigned value)
{
    limit = value;
}

SMIS_MethodLock::Place::Place(const std::string& name) : _name(name)
{
    if (ownPlaces[_name]++ > 0)
        return;
    std::lock_guard guard(placesMutex);
    unsigned& taken = places[_name];
    if (taken >= limit.load()) {
        if (taken == 0)
            places.erase(_name);
        ownPlaces.erase(_name);
        throw SMIS_MethodLockBusy("every place among the callers of the array is taken");
    }
    ++taken;
}

SMIS_MethodLock::Place::~Place()
{
    if (--ownPlaces[_name] > 0)
        return;
    ownPlaces.erase(_name);
    std::lock_guard guard(placesMutex);
    const auto it = places.find(_name);
    if (it != places.end() && --it->second == 0)
        places.erase(it);
}

std::uint32_t SMIS_MethodLock::failureCode(std::uint32_t otherwise) noexcept
{
    try {
        throw;
    } catch (const smis::platform::NamedMutexTimeout&) {
        return BUSY;
    } catch (const SMIS_MethodLockBusy&) {
        return BUSY;
    } catch (...) {
        return otherwise;
    }
}

bool SMIS_MethodLock::heldOnThisThread()
{
    return !ownPlaces.empty();
}

std::string SMIS_MethodLock::mutexName(const char* address)
{
    std::string name = "Global\\SMIS_ConfigurationMethod_Mutex_";
    if (address)
        name.append(address, strnlen(address, 15));
    return name;
}

SMIS_MethodLock::SMIS_MethodLock(const char* address) : _place(mutexName(address))
{
    const std::string name = mutexName(address);
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "wait mutex(%s)", name.c_str());
    try {
        // The wait goes in short slices, so that a caller whose client left,
        // or a server that stops, does not wait out the whole bound.
        const auto deadline = std::chrono::steady_clock::now() + waitBound();
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            try {
                _lock = std::make_unique<smis::platform::NamedMutexLock>(
                    name, std::clamp(left, std::chrono::milliseconds(0), SLICE));
                break;
            } catch (const smis::platform::NamedMutexTimeout&) {
                if (left <= SLICE || SMIS_RequestContext::currentCancelled())
                    throw;
            }
        }
    } catch (const smis::platform::NamedMutexTimeout&) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING,
                               "Another method on %s still runs (bound %lld ms), or the request ended: "
                               "this one is not carried out",
                               address ? address : "", static_cast<long long>(waitBound().count()));
        throw;
    }
    if (SMIS_RequestContext::currentClientGone()) {
        _lock.reset();
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "client left while waiting for mutex(%s)",
                                 name.c_str());
        throw SMIS_ClientGone("the client left before its method could start");
    }
}

SMIS_MethodLock::~SMIS_MethodLock() = default;

}  // namespace cimple
