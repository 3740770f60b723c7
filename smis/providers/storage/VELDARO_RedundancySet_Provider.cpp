// Redundancy sets: a list pair, one set of controller modules per array.

#include "VELDARO_RedundancySet_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_RedundancySet_Resource.h"

namespace cimple {

namespace {

struct Redundancy_Set_Frame {
    using Model = VELDARO_RedundancySet;
    using Builder = VELDARO_RedundancySet_Resource;

    static int build(Builder& builder) { return builder.createRedundancySet(); }
    static Array<Model*>& list(Builder& builder) { return builder.list(); }
};

}  // namespace

VELDARO_RedundancySet_Provider::VELDARO_RedundancySet_Provider() {}

VELDARO_RedundancySet_Provider::~VELDARO_RedundancySet_Provider() {}

Get_Instance_Status VELDARO_RedundancySet_Provider::get_instance(const VELDARO_RedundancySet* model, VELDARO_RedundancySet*& instance)
{
    return Instance_Provider_Frame::listGet<Redundancy_Set_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_RedundancySet_Provider::enum_instances(const VELDARO_RedundancySet* model,
                                                              Enum_Instances_Handler<VELDARO_RedundancySet>* handler)
{
    return Instance_Provider_Frame::listEnum<Redundancy_Set_Frame>(model, handler);
}

}  // namespace cimple
