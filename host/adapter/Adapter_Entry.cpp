// The adapter's C entry, called by the provider module's PegasusCreateProvider.
#include <Pegasus/String.h>

#include "Pegasus_Adapter.h"

extern "C" int cimple_pegasus_adapter(int kind, const void* arg1, cimple::Registration* head, void** result,
                                      void*, void*, void*, void*)
{
    try {
        if (kind != 'P' || !arg1 || !result)
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
