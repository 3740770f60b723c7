// The iSCSI capabilities of an array: a list pair over the configuration table.

#include "VELDARO_iSCSICapabilities_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_iSCSICapabilities_Resource.h"

namespace cimple {

namespace {

struct iSCSICapabilities_Frame {
    using Model = VELDARO_iSCSICapabilities;
    using Builder = VELDARO_iSCSICapabilities_Resource;
    static int build(Builder& builder) { return builder.createiSCSICapabilities(); }
    static Array<Model*>& list(Builder& builder) { return builder.instances(); }
};

}  // namespace

VELDARO_iSCSICapabilities_Provider::VELDARO_iSCSICapabilities_Provider() {}

VELDARO_iSCSICapabilities_Provider::~VELDARO_iSCSICapabilities_Provider() {}

Get_Instance_Status VELDARO_iSCSICapabilities_Provider::get_instance(const VELDARO_iSCSICapabilities* model, VELDARO_iSCSICapabilities*& instance)
{
    return Instance_Provider_Frame::listGet<iSCSICapabilities_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_iSCSICapabilities_Provider::enum_instances(const VELDARO_iSCSICapabilities* model, Enum_Instances_Handler<VELDARO_iSCSICapabilities>* handler)
{
    return Instance_Provider_Frame::listEnum<iSCSICapabilities_Frame>(model, handler);
}

}  // namespace cimple
