#pragma once
// Builds the VELDARO_ThinProvisioningCapabilities instances of a storage: one per
// RAID level a thin provisioning pool may use.

#include <cimple/cimple.h>

#include "Instance_List_Resource.h"
#include "VELDARO_ThinProvisioningCapabilities.h"

namespace cimple {

class VELDARO_ThinProvisioningCapabilities_Resource
    : public Instance_List_Resource<VELDARO_ThinProvisioningCapabilities> {
public:
    explicit VELDARO_ThinProvisioningCapabilities_Resource(const String& storage) : Instance_List_Resource(storage) {}

    // 0 with the storage's instances, 1 error, 2 table not valid.
    int createThinProvisioningCapabilities();
};

}  // namespace cimple
