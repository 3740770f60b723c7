#pragma once
// Builds VELDARO_ProviderSoftwareIdentity: the provider software itself, one
// fixed instance.

#include <cimple/cimple.h>

#include "Element_List_Resource.h"
#include "VELDARO_ProviderSoftwareIdentity.h"

namespace cimple {

class VELDARO_ProviderSoftwareIdentity_Resource : public Element_Fixed_Set_Resource<VELDARO_ProviderSoftwareIdentity> {
public:
    VELDARO_ProviderSoftwareIdentity_Resource() = default;

    // Returns 0.
    int createProviderSoftwareIdentity();
};

}  // namespace cimple
