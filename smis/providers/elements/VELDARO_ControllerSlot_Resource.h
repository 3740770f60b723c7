#pragma once
// Builds VELDARO_ControllerSlot: the slot of every controller module record
// whose master CPU module is an in-use module entry, keyed CS<cm>_<address>.

#include <cimple/cimple.h>

#include <cstdint>

#include "Element_List_Resource.h"
#include "VELDARO_ControllerSlot.h"

namespace cimple {

class VELDARO_ControllerSlot_Resource : public Element_List_Resource<VELDARO_ControllerSlot> {
public:
    // Controller module records 0..7.
    static constexpr int CM_RECORD_COUNT = 8;

    explicit VELDARO_ControllerSlot_Resource(const String& storage) : Element_List_Resource(storage) {}

    // 0 built, 1 failure (logged), 2 the array's table image is not valid.
    int createControllerModuleSlot();

    // Fills a new instance; 0, or 1 after a failure (logged).
    int setControllerModuleSlot(VELDARO_ControllerSlot* instance, std::uint32_t itemId, const String& storage,
                                int operationalStatus);
};

}  // namespace cimple
