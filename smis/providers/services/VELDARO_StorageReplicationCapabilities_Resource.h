#pragma once
// Builds VELDARO_StorageReplicationCapabilities: the synchronous mirror and
// the delta snapshot capabilities of an array, from fixed values.

#include <cimple/cimple.h>

#include "Instance_List_Resource.h"
#include "VELDARO_StorageReplicationCapabilities.h"

namespace cimple {

class VELDARO_StorageReplicationCapabilities_Resource
    : public Instance_List_Resource<VELDARO_StorageReplicationCapabilities> {
public:
    explicit VELDARO_StorageReplicationCapabilities_Resource(const String& storage) : Instance_List_Resource(storage) {}

    // 0 built, 1 failure, 2 the array's table image is not valid.
    int createStorageReplicationCapabilities();
};

}  // namespace cimple
