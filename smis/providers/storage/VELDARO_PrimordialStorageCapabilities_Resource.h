#pragma once
// Builds the one VELDARO_PrimordialStorageCapabilities instance of a storage:
// what storage pools can be made from its disks.

#include <cimple/cimple.h>

#include "Instance_List_Resource.h"
#include "VELDARO_PrimordialStorageCapabilities.h"

namespace cimple {

class VELDARO_PrimordialStorageCapabilities_Resource
    : public Instance_List_Resource<VELDARO_PrimordialStorageCapabilities> {
public:
    explicit VELDARO_PrimordialStorageCapabilities_Resource(const String& storage) : Instance_List_Resource(storage) {}

    // 0 with the one instance, 1 error, 2 table not valid.
    int createPrimordialStorageCapabilities();
};

}  // namespace cimple
