#pragma once
// Builds the one VELDARO_SnapDataCapabilities instance of a storage (snapshot data
// pools): fixed values, keyed by address.

#include <cimple/cimple.h>

#include "Instance_List_Resource.h"
#include "VELDARO_SnapDataCapabilities.h"

namespace cimple {

class VELDARO_SnapDataCapabilities_Resource : public Instance_List_Resource<VELDARO_SnapDataCapabilities> {
public:
    explicit VELDARO_SnapDataCapabilities_Resource(const String& storage) : Instance_List_Resource(storage) {}

    // 0 with the storage's instances, 1 error, 2 table not valid.
    int createSnapDataCapabilities();
};

}  // namespace cimple
