#pragma once
// Builds the one VELDARO_StorageConfigurationCapabilities instance of a storage:
// the fixed lists of what the storage configuration service supports.

#include <cimple/cimple.h>

#include "Instance_List_Resource.h"
#include "VELDARO_StorageConfigurationCapabilities.h"

namespace cimple {

class VELDARO_StorageConfigurationCapabilities_Resource
    : public Instance_List_Resource<VELDARO_StorageConfigurationCapabilities> {
public:
    explicit VELDARO_StorageConfigurationCapabilities_Resource(const String& storage) : Instance_List_Resource(storage)
    {
    }

    // 0 with the storage's instances, 1 error, 2 table not valid.
    int createStorageConfigurationCapabilities();
};

}  // namespace cimple
