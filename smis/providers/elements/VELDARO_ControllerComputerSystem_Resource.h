#pragma once
// Builds VELDARO_ControllerComputerSystem: one instance per controller
// module of an array, named by the address and "_CM" with the CM number.

#include <cimple/cimple.h>

#include "Element_List_Resource.h"
#include "VELDARO_ControllerComputerSystem.h"

namespace cimple {

class VELDARO_ControllerComputerSystem_Resource : public Element_List_Resource<VELDARO_ControllerComputerSystem> {
public:
    // Entries of the CM detail table that may name a controller module.
    static constexpr int CM_DETAIL_COUNT = 8;

    explicit VELDARO_ControllerComputerSystem_Resource(const String& storage) : Element_List_Resource(storage) {}

    // 0 built, 1 failure (logged), 2 the array's table image is not valid.
    int createControllerModuleComputerSystem();
};

}  // namespace cimple
