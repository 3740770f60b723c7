#pragma once
// Builds VELDARO_ReplicationServiceCapabilities: what the replication
// service of an array can do, one instance per array, from fixed values.

#include <cimple/cimple.h>

#include "Instance_List_Resource.h"
#include "VELDARO_ReplicationServiceCapabilities.h"

namespace cimple {

class VELDARO_ReplicationServiceCapabilities_Resource
    : public Instance_List_Resource<VELDARO_ReplicationServiceCapabilities> {
public:
    explicit VELDARO_ReplicationServiceCapabilities_Resource(const String& storage) : Instance_List_Resource(storage) {}

    // 0 built, 1 failure, 2 the array's table image is not valid.
    int createReplicationServiceCapabilities();
};

}  // namespace cimple
