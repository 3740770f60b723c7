#pragma once
// Builds VELDARO_StorageHardwareIDManagementService: the service that
// registers and removes host identifiers on an array, one instance per array.

#include <cimple/cimple.h>

#include "Array_Service_Resource.h"
#include "VELDARO_StorageHardwareIDManagementService.h"

namespace cimple {

class VELDARO_StorageHardwareIDManagementService_Resource
    : public Array_Service_Resource<VELDARO_StorageHardwareIDManagementService> {
public:
    explicit VELDARO_StorageHardwareIDManagementService_Resource(const String& storage)
        : Array_Service_Resource(storage)
    {
    }

    // 0 built, 1 failure (logged), 2 the array's table image is not valid.
    int createStorageHardwareIDManagementService();
};

}  // namespace cimple
