// The two exports of the provider module, with the signatures CIMPLE's
// registration macros give them (CIMPLE_MODULE, CIMPLE_PEGASUS_PROVIDER_ENTRY_POINT),
// so the same module is loaded by the embedded server and by OpenPegasus.
#include "Module.h"

namespace cimple {

static const char module_name_text[] = "SMI-S_Module";
const char* const module_name = module_name_text;

// Zero-initialised before any static initialiser runs, so registrations in
// any order of start-up see a valid (empty) list.
Registration* module_head = nullptr;

} // namespace cimple

// The framework adapter's entry: the project's cimpleadapter under the
// embedded server, CIMPLE's Pegasus adapter under OpenPegasus. Eight words;
// the first is the kind of provider wanted ('P', a Pegasus C++ provider).
extern "C" int cimple_pegasus_adapter(void* kind, void* arg1, void* head, void* result, void* arg4, void* arg5,
                                      void* arg6, void* arg7);

extern "C" cimple::Registration* cimple_module()
{
    return cimple::module_head;
}

extern "C" void* PegasusCreateProvider(void* provider_name)
{
    void* adapter = nullptr;
    try {
        cimple_pegasus_adapter(reinterpret_cast<void*>('P'), provider_name, cimple::module_head, &adapter, nullptr,
                               nullptr, nullptr, nullptr);
    } catch (...) {
    }
    return adapter;
}
