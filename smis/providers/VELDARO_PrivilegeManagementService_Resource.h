#pragma once
// Builds VELDARO_PrivilegeManagementService: the service that owns an array's
// access privileges, one instance per array.

#include <cimple/cimple.h>

#include "Element_List_Resource.h"
#include "VELDARO_PrivilegeManagementService.h"

namespace cimple {

class VELDARO_PrivilegeManagementService_Resource
    : public Element_List_Resource<VELDARO_PrivilegeManagementService> {
public:
    explicit VELDARO_PrivilegeManagementService_Resource(const String& storage) : Element_List_Resource(storage) {}

    // 0 built, 1 failure (logged), 2 the array's table image is not valid.
    int createPrivilegeManagementService();
};

}  // namespace cimple
