#pragma once
// Builds VELDARO_ReplicationSettingData: one setting per copy kind of an
// array (Mirrex, Xmirrex, SnapTirn plus mode, SnapTirn), from fixed values.
// They are also the settings the replication methods accept.

#include <cimple/cimple.h>

#include "Instance_List_Resource.h"
#include "VELDARO_ReplicationSettingData.h"

namespace cimple {

class VELDARO_ReplicationSettingData_Resource : public Instance_List_Resource<VELDARO_ReplicationSettingData> {
public:
    explicit VELDARO_ReplicationSettingData_Resource(const String& storage) : Instance_List_Resource(storage) {}

    // 0 built, 1 failure, 2 the array's table image is not valid.
    int createReplicationSettingData();
};

}  // namespace cimple
