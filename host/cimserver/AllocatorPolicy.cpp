#include "AllocatorPolicy.h"

#include "AnswerBufferPool.h"

#include <malloc.h>

namespace cimserver {

void AllocatorPolicy::apply()
{
    ::mallopt(M_MMAP_THRESHOLD, static_cast<int>(MMAP_THRESHOLD));
    ::mallopt(M_TRIM_THRESHOLD, static_cast<int>(TRIM_THRESHOLD));
}

void AllocatorPolicy::trim()
{
    ::malloc_trim(0);
}

void AllocatorPolicy::worked(bool large, Clock::time_point now)
{
    _last_work = now;
    if (large)
        _trim_due = _pool_due = true;
}

void AllocatorPolicy::idle(Clock::time_point now)
{
    const auto quiet = now - _last_work;
    if (_pool_due && quiet >= POOL_KEPT) {
        AnswerBufferPool::server().clear();
        trim();
        _trim_due = _pool_due = false;
    } else if (_trim_due && quiet >= TRIM_AFTER) {
        trim();
        _trim_due = false;
    }
}

} // namespace cimserver
