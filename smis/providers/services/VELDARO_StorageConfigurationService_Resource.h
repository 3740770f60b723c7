#pragma once
// Builds VELDARO_StorageConfigurationService: the service through which
// pools and volumes of an array are made, grown and removed, one instance
// per array.

#include <cimple/cimple.h>

#include "Array_Service_Resource.h"
#include "VELDARO_StorageConfigurationService.h"

namespace cimple {

class VELDARO_StorageConfigurationService_Resource
    : public Array_Service_Resource<VELDARO_StorageConfigurationService> {
public:
    explicit VELDARO_StorageConfigurationService_Resource(const String& storage) : Array_Service_Resource(storage) {}

    // 0 built, 1 failure (logged), 2 the array's table image is not valid.
    int createStorageConfigurationService();
};

}  // namespace cimple
