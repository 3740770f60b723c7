// The two exports of the provider module.
#include "Module.h"

#include "Pegasus_Adapter.h"

namespace cimple {

static const char module_name_text[] = "SMI-S_Module";
const char* const module_name = module_name_text;

// Zero-initialised before any static initialiser runs, so registrations in
// any order of start-up see a valid (empty) list.
Registration* module_head = nullptr;

} // namespace cimple

extern "C" cimple::Registration* cimple_module()
{
    return cimple::module_head;
}

extern "C" void* PegasusCreateProvider(const Pegasus::String& provider_name)
{
    void* result = nullptr;
    try {
        cimple_pegasus_adapter('P', &provider_name, cimple::module_head, &result, nullptr, nullptr, nullptr,
                               nullptr);
    } catch (...) {
    }
    return result;
}
