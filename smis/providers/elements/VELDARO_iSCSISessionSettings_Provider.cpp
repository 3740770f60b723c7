// Configured session settings of the iSCSI ports: a list pair over the configuration table.

#include "VELDARO_iSCSISessionSettings_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_iSCSISessionSettings_Resource.h"

namespace cimple {

namespace {

struct iSCSISessionSettings_Frame {
    using Model = VELDARO_iSCSISessionSettings;
    using Builder = VELDARO_iSCSISessionSettings_Resource;
    static int build(Builder& builder) { return builder.createiSCSISessionSettings(); }
    static Array<Model*>& list(Builder& builder) { return builder.instances(); }
};

}  // namespace

VELDARO_iSCSISessionSettings_Provider::VELDARO_iSCSISessionSettings_Provider() {}

VELDARO_iSCSISessionSettings_Provider::~VELDARO_iSCSISessionSettings_Provider() {}

Get_Instance_Status VELDARO_iSCSISessionSettings_Provider::get_instance(const VELDARO_iSCSISessionSettings* model, VELDARO_iSCSISessionSettings*& instance)
{
    return Instance_Provider_Frame::listGet<iSCSISessionSettings_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_iSCSISessionSettings_Provider::enum_instances(const VELDARO_iSCSISessionSettings* model, Enum_Instances_Handler<VELDARO_iSCSISessionSettings>* handler)
{
    return Instance_Provider_Frame::listEnum<iSCSISessionSettings_Frame>(model, handler);
}

}  // namespace cimple
