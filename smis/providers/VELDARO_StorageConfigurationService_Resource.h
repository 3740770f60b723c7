#pragma once
// Builds VELDARO_StorageConfigurationService: the service through which
// pools and volumes of an array are made, grown and removed, one instance
// per array.

#include <cimple/cimple.h>

#include "Element_List_Resource.h"
#include "VELDARO_StorageConfigurationService.h"

namespace cimple {

class VELDARO_StorageConfigurationService_Resource
    : public Element_List_Resource<VELDARO_StorageConfigurationService> {
public:
    explicit VELDARO_StorageConfigurationService_Resource(const String& storage) : Element_List_Resource(storage) {}

    // 0 built, 1 failure (logged), 2 the array's table image is not valid.
    int createStorageConfigurationService();
};

}  // namespace cimple
