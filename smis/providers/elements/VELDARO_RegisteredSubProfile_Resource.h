#pragma once
// Builds VELDARO_RegisteredSubProfile: the sub-profiles the system
// implements, a fixed list that reads no array.

#include <cimple/cimple.h>

#include "Element_List_Resource.h"
#include "VELDARO_RegisteredSubProfile.h"

namespace cimple {

class VELDARO_RegisteredSubProfile_Resource : public Element_Fixed_Set_Resource<VELDARO_RegisteredSubProfile> {
public:
    VELDARO_RegisteredSubProfile_Resource() = default;

    // Returns 0.
    int createRegisteredSubProfile();
};

}  // namespace cimple
