#pragma once
// Builds VELDARO_ReplicationService: the service that creates and controls
// an array's copies, one instance per array.

#include <cimple/cimple.h>

#include "Instance_List_Resource.h"
#include "VELDARO_ReplicationService.h"

namespace cimple {

class VELDARO_ReplicationService_Resource : public Instance_List_Resource<VELDARO_ReplicationService> {
public:
    explicit VELDARO_ReplicationService_Resource(const String& storage) : Instance_List_Resource(storage) {}

    // 0 built, 1 failure, 2 the array's table image is not valid.
    int createReplicationService();
};

}  // namespace cimple
