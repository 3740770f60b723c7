#pragma once
// Builds VELDARO_ControllerCard: one card per controller module record whose
// master CPU module is an in-use module entry, keyed CC<cm>_<address>.

#include <cimple/cimple.h>

#include "Element_List_Resource.h"
#include "VELDARO_ControllerCard.h"

namespace cimple {

class VELDARO_ControllerCard_Resource : public Element_List_Resource<VELDARO_ControllerCard> {
public:
    // Controller module records 0..7.
    static constexpr int CM_RECORD_COUNT = 8;

    explicit VELDARO_ControllerCard_Resource(const String& storage) : Element_List_Resource(storage) {}

    // 0 built, 1 failure (logged), 2 the array's table image is not valid.
    int createControllerModuleCard();
};

}  // namespace cimple
