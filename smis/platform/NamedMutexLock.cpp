#include "NamedMutexLock.h"

#include "NamedMutex.h"

namespace smis::platform {

NamedMutexLock::NamedMutexLock(const std::string& name) : _mutex(NamedMutex::get(name))
{
    _mutex.acquire();
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
