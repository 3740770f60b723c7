#pragma once
// Builds VELDARO_PrivilegeManagementService: the service that owns an array's
// access privileges, one instance per array.

#include <cimple/cimple.h>

#include "Array_Service_Resource.h"
#include "VELDARO_PrivilegeManagementService.h"

namespace cimple {

class VELDARO_PrivilegeManagementService_Resource
    : public Array_Service_Resource<VELDARO_PrivilegeManagementService> {
public:
    explicit VELDARO_PrivilegeManagementService_Resource(const String& storage) : Array_Service_Resource(storage) {}

    // 0 built, 1 failure (logged), 2 the array's table image is not valid.
    int createPrivilegeManagementService();
};

}  // namespace cimple
