#pragma once
// Builds VELDARO_StorageComputerSystemSoftwareIdentity: the controller
// firmware as the storage system presents it, one instance per controller
// module of an array.

#include <cimple/cimple.h>

#include "Element_List_Resource.h"
#include "VELDARO_StorageComputerSystemSoftwareIdentity.h"

namespace cimple {

class VELDARO_StorageComputerSystemSoftwareIdentity_Resource
    : public Element_List_Resource<VELDARO_StorageComputerSystemSoftwareIdentity> {
public:
    explicit VELDARO_StorageComputerSystemSoftwareIdentity_Resource(const String& storage)
        : Element_List_Resource(storage)
    {
    }

    // 0 built, 1 failure (logged), 2 the array's table image is not valid.
    int createStorageComputerSystemSoftwareIdentity();

    // Fills one instance for the controller module of that item id; 0.
    int setStorageComputerSystemSoftwareIdentity(VELDARO_StorageComputerSystemSoftwareIdentity* instance,
                                                 const String& version, unsigned long cmItemId, int status);
};

}  // namespace cimple
