#pragma once
// Builds VELDARO_StorageHardwareIDManagementService: the service that
// registers and removes host identifiers on an array, one instance per array.

#include <cimple/cimple.h>

#include "Element_List_Resource.h"
#include "VELDARO_StorageHardwareIDManagementService.h"

namespace cimple {

class VELDARO_StorageHardwareIDManagementService_Resource
    : public Element_List_Resource<VELDARO_StorageHardwareIDManagementService> {
public:
    explicit VELDARO_StorageHardwareIDManagementService_Resource(const String& storage)
        : Element_List_Resource(storage)
    {
    }

    // 0 built, 1 failure (logged), 2 the array's table image is not valid.
    int createStorageHardwareIDManagementService();
};

}  // namespace cimple
