#pragma once
// Builds the fixed catalogue of VELDARO_StorageSetting instances of one
// storage: JBOD, one setting per RAID group level and one per thin
// provisioning pool level. The catalogue is the same for every storage whose
// configuration table is valid; only the address in the keys differs. Also
// read by the capabilities' CreateSetting and by association providers.

#include <cimple/cimple.h>

#include "Instance_List_Resource.h"
#include "VELDARO_StorageSetting.h"

namespace cimple {

class VELDARO_StorageSetting_Resource : public Instance_List_Resource<VELDARO_StorageSetting> {
public:
    // ThinProvisionedPoolType of a thin provisioning setting (thinly
    // provisioned quota storage pool).
    static constexpr uint16 THIN_POOL_TYPE = 8;

    explicit VELDARO_StorageSetting_Resource(const String& storage) : Instance_List_Resource(storage) {}

    // 0 with the twelve settings in catalogue order, 1 error, 2 table not valid.
    int createStorageSetting();
};

}  // namespace cimple
