#pragma once
// Builds VELDARO_Namespace: one fixed instance describing
// the namespace in which the array classes live.

#include <cimple/cimple.h>

#include "Element_List_Resource.h"
#include "VELDARO_Namespace.h"

namespace cimple {

class VELDARO_Namespace_Resource : public Element_Fixed_Set_Resource<VELDARO_Namespace> {
public:
    VELDARO_Namespace_Resource() = default;

    // Returns 0.
    int createNamespace();
};

}  // namespace cimple
