#include "NamedMutexLock.h"

#include "NamedMutex.h"

namespace smis::platform {

NamedMutexLock::NamedMutexLock(const std::string& name) : _mutex(NamedMutex::get(name))
{
    _mutex.acquire();
}

NamedMutexLock::NamedMutexLock(const std::string& name, std::chrono::milliseconds bound)
    : _mutex(NamedMutex::get(name))
{
    const auto deadline = std::chrono::steady_clock::now() + bound;
    _mutex.acquireBy(&deadline);
}

unsigned NamedMutexLock::handle() const
{
    return _mutex.handle();
}

NamedMutexLock::~NamedMutexLock()
{
    _mutex.release();
}

}  // namespace smis::platform
