#pragma once
// Builds the one VELDARO_LayerixCapabilities instance of a storage (tiering
// pools): fixed values, keyed by address.

#include <cimple/cimple.h>

#include "Instance_List_Resource.h"
#include "VELDARO_LayerixCapabilities.h"

namespace cimple {

class VELDARO_LayerixCapabilities_Resource : public Instance_List_Resource<VELDARO_LayerixCapabilities> {
public:
    explicit VELDARO_LayerixCapabilities_Resource(const String& storage) : Instance_List_Resource(storage) {}

    // 0 with the storage's instances, 1 error, 2 table not valid.
    int createLayerixCapabilities();
};

}  // namespace cimple
