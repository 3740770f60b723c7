// Snap data composite extents: a list pair, the snap data pools of each array.

#include "VELDARO_SnapDataCompositeExtent_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_SnapDataCompositeExtent_Resource.h"

namespace cimple {

namespace {

struct Snap_Data_Composite_Frame {
    using Model = VELDARO_SnapDataCompositeExtent;
    using Builder = VELDARO_SnapDataCompositeExtent_Resource;

    static int build(Builder& builder) { return builder.createSnapDataCompositeExtent(); }
    static Array<Model*>& list(Builder& builder) { return builder.list(); }
};

}  // namespace

VELDARO_SnapDataCompositeExtent_Provider::VELDARO_SnapDataCompositeExtent_Provider() {}

VELDARO_SnapDataCompositeExtent_Provider::~VELDARO_SnapDataCompositeExtent_Provider() {}

Get_Instance_Status VELDARO_SnapDataCompositeExtent_Provider::get_instance(const VELDARO_SnapDataCompositeExtent* model,
                                                                           VELDARO_SnapDataCompositeExtent*& instance)
{
    return Instance_Provider_Frame::listGet<Snap_Data_Composite_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_SnapDataCompositeExtent_Provider::enum_instances(
    const VELDARO_SnapDataCompositeExtent* model, Enum_Instances_Handler<VELDARO_SnapDataCompositeExtent>* handler)
{
    return Instance_Provider_Frame::listEnum<Snap_Data_Composite_Frame>(model, handler);
}

}  // namespace cimple
