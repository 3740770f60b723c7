// Snapshot data pools: a list pair over the pool status of each array.

#include "VELDARO_SnapDataPool_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_SnapDataPool_Resource.h"

namespace cimple {

namespace {

struct Snap_Data_Pool_Frame {
    using Model = VELDARO_SnapDataPool;
    using Builder = VELDARO_SnapDataPool_Resource;
    static int build(Builder& builder) { return builder.createSnapDataPool(); }
    static Array<Model*>& list(Builder& builder) { return builder.list(); }
};

}  // namespace

VELDARO_SnapDataPool_Provider::VELDARO_SnapDataPool_Provider() {}

VELDARO_SnapDataPool_Provider::~VELDARO_SnapDataPool_Provider() {}

Get_Instance_Status VELDARO_SnapDataPool_Provider::get_instance(const VELDARO_SnapDataPool* model,
                                                                VELDARO_SnapDataPool*& instance)
{
    return Instance_Provider_Frame::listGet<Snap_Data_Pool_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_SnapDataPool_Provider::enum_instances(
    const VELDARO_SnapDataPool* model, Enum_Instances_Handler<VELDARO_SnapDataPool>* handler)
{
    return Instance_Provider_Frame::listEnum<Snap_Data_Pool_Frame>(model, handler);
}

}  // namespace cimple
