#include "Module_Lifetime.h"

#if SMIS_REAL_CIMPLE
#include <cimple/cimom.h>

#include "Polling_Lifetime.h"
#endif

namespace cimple {

#if SMIS_REAL_CIMPLE

void Module_Lifetime::provider_loaded()
{
    try {
        cimom::allow_unload(false);
    } catch (...) {
    }
    Polling_Lifetime::module().acquire();
}

void Module_Lifetime::provider_unloaded()
{
    Polling_Lifetime::module().release();
}

#else

void Module_Lifetime::provider_loaded() {}

void Module_Lifetime::provider_unloaded() {}

#endif

} // namespace cimple
