#include "AllocatorPolicy.h"

#include <malloc.h>

namespace cimserver {

void AllocatorPolicy::apply()
{
    ::mallopt(M_MMAP_THRESHOLD, static_cast<int>(MMAP_THRESHOLD));
}

void AllocatorPolicy::trim()
{
    ::malloc_trim(0);
}

} // namespace cimserver
