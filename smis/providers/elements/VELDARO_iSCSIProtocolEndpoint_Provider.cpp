// iSCSI target endpoints: a list pair over the configuration table.

#include "VELDARO_iSCSIProtocolEndpoint_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_iSCSIProtocolEndpoint_Resource.h"

namespace cimple {

namespace {

struct iSCSIProtocolEndpoint_Frame {
    using Model = VELDARO_iSCSIProtocolEndpoint;
    using Builder = VELDARO_iSCSIProtocolEndpoint_Resource;
    static int build(Builder& builder) { return builder.createiSCSIProtocolEndpoint(); }
    static Array<Model*>& list(Builder& builder) { return builder.instances(); }
};

}  // namespace

VELDARO_iSCSIProtocolEndpoint_Provider::VELDARO_iSCSIProtocolEndpoint_Provider() {}

VELDARO_iSCSIProtocolEndpoint_Provider::~VELDARO_iSCSIProtocolEndpoint_Provider() {}

Get_Instance_Status VELDARO_iSCSIProtocolEndpoint_Provider::get_instance(const VELDARO_iSCSIProtocolEndpoint* model, VELDARO_iSCSIProtocolEndpoint*& instance)
{
    return Instance_Provider_Frame::listGet<iSCSIProtocolEndpoint_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_iSCSIProtocolEndpoint_Provider::enum_instances(const VELDARO_iSCSIProtocolEndpoint* model, Enum_Instances_Handler<VELDARO_iSCSIProtocolEndpoint>* handler)
{
    return Instance_Provider_Frame::listEnum<iSCSIProtocolEndpoint_Frame>(model, handler);
}

}  // namespace cimple
