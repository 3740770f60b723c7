// The two exports of the provider module.
#include "Module.h"

#include <cstdint>

// The framework adapter's C entry (eight untyped arguments; 'P' asks for the
// adapter of the provider named by arg1 from the list at arg2, stored in *arg3).
extern "C" int cimple_pegasus_adapter(void* arg0, void* arg1, void* arg2, void* arg3, void* arg4, void* arg5,
                                      void* arg6, void* arg7);

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
        cimple_pegasus_adapter(reinterpret_cast<void*>(std::intptr_t{'P'}),
                               const_cast<void*>(static_cast<const void*>(&provider_name)), cimple::module_head,
                               &result, nullptr, nullptr, nullptr, nullptr);
    } catch (...) {
    }
    return result;
}
