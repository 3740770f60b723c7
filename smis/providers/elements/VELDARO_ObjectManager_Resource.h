#pragma once
// Builds VELDARO_ObjectManager: one fixed instance describing
// the CIM server through which clients reach the arrays; its SystemName is
// the host's fully qualified name.

#include <cimple/cimple.h>

#include "Element_List_Resource.h"
#include "VELDARO_ObjectManager.h"

namespace cimple {

class VELDARO_ObjectManager_Resource : public Element_Fixed_Set_Resource<VELDARO_ObjectManager> {
public:
    VELDARO_ObjectManager_Resource() = default;

    // Returns 0.
    int createObjectManager();
};

}  // namespace cimple
