#pragma once
// Builds the VELDARO_RAIDStorageCapabilities instances of a storage: one per
// RAID level a RAID group may use.

#include <cimple/cimple.h>

#include "Instance_List_Resource.h"
#include "VELDARO_RAIDStorageCapabilities.h"

namespace cimple {

class VELDARO_RAIDStorageCapabilities_Resource : public Instance_List_Resource<VELDARO_RAIDStorageCapabilities> {
public:
    explicit VELDARO_RAIDStorageCapabilities_Resource(const String& storage) : Instance_List_Resource(storage) {}

    // 0 with RAID0, RAID1, RAID1+0, RAID5, RAID5+0, RAID6 in that order;
    // 1 error; 2 table not valid.
    int createRAIDStorageCapabilities();
};

}  // namespace cimple
