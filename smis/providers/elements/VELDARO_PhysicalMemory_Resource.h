#pragma once
// Builds VELDARO_PhysicalMemory: the populated memory slots of every
// controller module of an array, keyed by Tag "PM0x%04x_" + address.

#include <cimple/cimple.h>

#include "Element_List_Resource.h"
#include "VELDARO_PhysicalMemory.h"

namespace cimple {

class VELDARO_PhysicalMemory_Resource : public Element_List_Resource<VELDARO_PhysicalMemory> {
public:
    static constexpr int CM_DETAIL_COUNT = 8;
    static constexpr int MEMORY_SLOTS = 6;

    explicit VELDARO_PhysicalMemory_Resource(const String& storage) : Element_List_Resource(storage) {}

    // 0 built, 1 failure (logged), 2 the array's table image is not valid.
    int createPhysicalMemory();
};

}  // namespace cimple
