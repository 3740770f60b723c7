#pragma once
// Builds VELDARO_System: the one system that stands for the provider server
// and scopes the object manager, the namespace and the communication
// mechanism. Reads no array.

#include <cimple/cimple.h>

#include "Element_List_Resource.h"
#include "VELDARO_System.h"

namespace cimple {

class VELDARO_System_Resource : public Element_Fixed_Set_Resource<VELDARO_System> {
public:
    // Name of the server system and of the objects it scopes.
    static constexpr const char* SERVER_NAME = "VELDARO:KESTRIS SMI-S Proxy Server";

    VELDARO_System_Resource() = default;

    // Returns 0.
    int createSystem();
};

}  // namespace cimple
