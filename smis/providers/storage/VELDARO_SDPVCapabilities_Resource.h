#pragma once
// Builds the one VELDARO_SDPVCapabilities instance of a storage (snapshot data
// pool volumes): fixed values, keyed by address.

#include <cimple/cimple.h>

#include "Instance_List_Resource.h"
#include "VELDARO_SDPVCapabilities.h"

namespace cimple {

class VELDARO_SDPVCapabilities_Resource : public Instance_List_Resource<VELDARO_SDPVCapabilities> {
public:
    explicit VELDARO_SDPVCapabilities_Resource(const String& storage) : Instance_List_Resource(storage) {}

    // 0 with the storage's instances, 1 error, 2 table not valid.
    int createSDPVCapabilities();
};

}  // namespace cimple
