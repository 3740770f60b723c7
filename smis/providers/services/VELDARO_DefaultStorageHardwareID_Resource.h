#pragma once
// Builds VELDARO_DefaultStorageHardwareID: the one all-hosts identifier of
// an array that has a port in default LUN-mapping view, keyed by
// InstanceID "VELDARO:DSHI_" + storage address.

#include <cimple/cimple.h>

#include "Instance_List_Resource.h"
#include "VELDARO_DefaultStorageHardwareID.h"

namespace cimple {

class VELDARO_DefaultStorageHardwareID_Resource : public Instance_List_Resource<VELDARO_DefaultStorageHardwareID> {
public:
    explicit VELDARO_DefaultStorageHardwareID_Resource(const String& storage) : Instance_List_Resource(storage) {}

    // 0 built (one instance or none), 1 failure (logged), 2 the array's
    // table image is not valid.
    int createDefaultStorageHardwareID();

    void setDefaultStorageHardwareID(VELDARO_DefaultStorageHardwareID* instance);
};

}  // namespace cimple
