// Storage redundancy sets: a list pair, the hot-spare disk groups of each array.

#include "VELDARO_StorageRedundancySet_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_StorageRedundancySet_Resource.h"

namespace cimple {

namespace {

struct Storage_Redundancy_Set_Frame {
    using Model = VELDARO_StorageRedundancySet;
    using Builder = VELDARO_StorageRedundancySet_Resource;

    static int build(Builder& builder) { return builder.createStorageRedundancySet(); }
    static Array<Model*>& list(Builder& builder) { return builder.list(); }
};

}  // namespace

VELDARO_StorageRedundancySet_Provider::VELDARO_StorageRedundancySet_Provider() {}

VELDARO_StorageRedundancySet_Provider::~VELDARO_StorageRedundancySet_Provider() {}

Get_Instance_Status VELDARO_StorageRedundancySet_Provider::get_instance(const VELDARO_StorageRedundancySet* model, VELDARO_StorageRedundancySet*& instance)
{
    return Instance_Provider_Frame::listGet<Storage_Redundancy_Set_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_StorageRedundancySet_Provider::enum_instances(const VELDARO_StorageRedundancySet* model,
                                                              Enum_Instances_Handler<VELDARO_StorageRedundancySet>* handler)
{
    return Instance_Provider_Frame::listEnum<Storage_Redundancy_Set_Frame>(model, handler);
}

}  // namespace cimple
