// The provider module: its name, the head of its registration list and the
// two C exports through which the CIM server reaches the providers.
#ifndef SMIS_PROVIDERS_MODULE_H
#define SMIS_PROVIDERS_MODULE_H

#include <cimple/Registration.h>

namespace cimple {

// "SMI-S_Module": every registration record points at this one text.
extern const char* const module_name;

// The most recently registered record; null before the first registration.
// The registrations (Module_Registrations.cpp, generated) fill the list as
// the library is loaded.
extern Registration* module_head;

} // namespace cimple

extern "C" {

// The head of the registration list.
cimple::Registration* cimple_module();

// Asks the framework adapter to build the provider object whose name is the
// Pegasus::String at provider_name and returns it (null when the adapter made
// none). The server calls it with a const Pegasus::String&, which is passed
// as its address.
void* PegasusCreateProvider(void* provider_name);

}

#endif
