#pragma once
// Builds the VELDARO_LayerixSubCapabilities instances of a storage: one per RAID
// level a tiering sub-pool may use.

#include <cimple/cimple.h>

#include "Instance_List_Resource.h"
#include "VELDARO_LayerixSubCapabilities.h"

namespace cimple {

class VELDARO_LayerixSubCapabilities_Resource : public Instance_List_Resource<VELDARO_LayerixSubCapabilities> {
public:
    explicit VELDARO_LayerixSubCapabilities_Resource(const String& storage) : Instance_List_Resource(storage) {}

    // 0 with the storage's instances, 1 error, 2 table not valid.
    int createLayerixSubCapabilities();
};

}  // namespace cimple
