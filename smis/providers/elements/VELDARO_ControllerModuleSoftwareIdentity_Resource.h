#pragma once
// Builds VELDARO_ControllerModuleSoftwareIdentity: the controller firmware,
// one instance per controller module of an array.

#include <cimple/cimple.h>

#include "Element_List_Resource.h"
#include "VELDARO_ControllerModuleSoftwareIdentity.h"

namespace cimple {

class VELDARO_ControllerModuleSoftwareIdentity_Resource
    : public Element_List_Resource<VELDARO_ControllerModuleSoftwareIdentity> {
public:
    explicit VELDARO_ControllerModuleSoftwareIdentity_Resource(const String& storage) : Element_List_Resource(storage) {}

    // 0 built, 1 failure (logged), 2 the array's table image is not valid.
    int createControllerModuleSoftwareIdentity();
};

}  // namespace cimple
