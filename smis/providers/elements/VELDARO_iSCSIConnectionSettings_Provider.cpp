// Configured connection settings of the iSCSI ports: a list pair over the configuration table.

#include "VELDARO_iSCSIConnectionSettings_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_iSCSIConnectionSettings_Resource.h"

namespace cimple {

namespace {

struct iSCSIConnectionSettings_Frame {
    using Model = VELDARO_iSCSIConnectionSettings;
    using Builder = VELDARO_iSCSIConnectionSettings_Resource;
    static int build(Builder& builder) { return builder.createiSCSIConnectionSettings(); }
    static Array<Model*>& list(Builder& builder) { return builder.instances(); }
};

}  // namespace

VELDARO_iSCSIConnectionSettings_Provider::VELDARO_iSCSIConnectionSettings_Provider() {}

VELDARO_iSCSIConnectionSettings_Provider::~VELDARO_iSCSIConnectionSettings_Provider() {}

Get_Instance_Status VELDARO_iSCSIConnectionSettings_Provider::get_instance(const VELDARO_iSCSIConnectionSettings* model, VELDARO_iSCSIConnectionSettings*& instance)
{
    return Instance_Provider_Frame::listGet<iSCSIConnectionSettings_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_iSCSIConnectionSettings_Provider::enum_instances(const VELDARO_iSCSIConnectionSettings* model, Enum_Instances_Handler<VELDARO_iSCSIConnectionSettings>* handler)
{
    return Instance_Provider_Frame::listEnum<iSCSIConnectionSettings_Frame>(model, handler);
}

}  // namespace cimple
