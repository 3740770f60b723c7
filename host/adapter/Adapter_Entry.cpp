// The adapter's C entry, called by the provider module's PegasusCreateProvider.
#include <Pegasus/String.h>

#include "Pegasus_Adapter.h"

#include <cstdint>

extern "C" int cimple_pegasus_adapter(void* arg0, void* arg1, void* arg2, void* arg3, void*, void*, void*, void*)
{
    try {
        auto* head = static_cast<cimple::Registration*>(arg2);
        auto** result = static_cast<void**>(arg3);
        if (reinterpret_cast<std::intptr_t>(arg0) != 'P' || !arg1 || !result)
            return -1;
        const Pegasus::String& name = *static_cast<const Pegasus::String*>(arg1);
        cimple::Pegasus_Adapter* adapter = cimple::Pegasus_Adapter::create(head, name.str().c_str());
        if (!adapter)
            return -1;
        *result = adapter;
        return 0;
    } catch (...) {
        return -1;
    }
}
