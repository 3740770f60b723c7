#pragma once
// Builds VELDARO_RegisteredProfile: the profiles the system implements, a
// fixed list that reads no array.

#include <cimple/cimple.h>

#include "Element_List_Resource.h"
#include "VELDARO_RegisteredProfile.h"

namespace cimple {

class VELDARO_RegisteredProfile_Resource : public Element_Fixed_Set_Resource<VELDARO_RegisteredProfile> {
public:
    VELDARO_RegisteredProfile_Resource() = default;

    // Returns 0.
    int createRegisteredProfile();
};

}  // namespace cimple
