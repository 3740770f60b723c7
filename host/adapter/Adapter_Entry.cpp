// The adapter's C entry, called by the provider module's PegasusCreateProvider.
#include <Pegasus/String.h>

#include <cstdint>

#include "Pegasus_Adapter.h"

extern "C" int cimple_pegasus_adapter(void* kind, void* arg1, void* head, void* result, void*, void*, void*, void*)
{
    try {
        if (reinterpret_cast<std::uintptr_t>(kind) != 'P' || !arg1 || !result)
            return -1;
        const Pegasus::String& name = *static_cast<const Pegasus::String*>(arg1);
        cimple::Pegasus_Adapter* adapter =
            cimple::Pegasus_Adapter::create(static_cast<cimple::Registration*>(head), name.str().c_str());
        if (!adapter)
            return -1;
        *static_cast<void**>(result) = adapter;
        return 0;
    } catch (...) {
        return -1;
    }
}
