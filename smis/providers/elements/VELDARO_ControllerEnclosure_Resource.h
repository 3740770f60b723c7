#pragma once
// Builds VELDARO_ControllerEnclosure: the one controller enclosure of an
// array, keyed CE0x00_<address>.

#include <cimple/cimple.h>

#include "Element_List_Resource.h"
#include "VELDARO_ControllerEnclosure.h"

namespace cimple {

class VELDARO_ControllerEnclosure_Resource : public Element_List_Resource<VELDARO_ControllerEnclosure> {
public:
    explicit VELDARO_ControllerEnclosure_Resource(const String& storage) : Element_List_Resource(storage) {}

    // 0 built, 1 failure (logged), 2 the array's table image is not valid.
    int createControllerEnclosureChassis();
};

}  // namespace cimple
