#pragma once
// Builds VELDARO_ControllerConfigurationService: the service that carries
// the masking methods of an array, one instance per array.

#include <cimple/cimple.h>

#include "Array_Service_Resource.h"
#include "VELDARO_ControllerConfigurationService.h"

namespace cimple {

class VELDARO_ControllerConfigurationService_Resource
    : public Array_Service_Resource<VELDARO_ControllerConfigurationService> {
public:
    explicit VELDARO_ControllerConfigurationService_Resource(const String& storage) : Array_Service_Resource(storage)
    {
    }

    // 0 built, 1 failure (logged), 2 the array's table image is not valid.
    int createControllerConfigurationService();
};

}  // namespace cimple
