// SCSI target endpoints of FC and SAS ports: a list pair over the CA port tables.

#include "VELDARO_SCSIProtocolEndpoint_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_SCSIProtocolEndpoint_Resource.h"

namespace cimple {

namespace {

struct SCSIProtocolEndpoint_Frame {
    using Model = VELDARO_SCSIProtocolEndpoint;
    using Builder = VELDARO_SCSIProtocolEndpoint_Resource;
    static int build(Builder& builder) { return builder.createSCSIProtocolEndpoint(); }
    static Array<Model*>& list(Builder& builder) { return builder.instances(); }
};

}  // namespace

VELDARO_SCSIProtocolEndpoint_Provider::VELDARO_SCSIProtocolEndpoint_Provider() {}

VELDARO_SCSIProtocolEndpoint_Provider::~VELDARO_SCSIProtocolEndpoint_Provider() {}

Get_Instance_Status VELDARO_SCSIProtocolEndpoint_Provider::get_instance(const VELDARO_SCSIProtocolEndpoint* model, VELDARO_SCSIProtocolEndpoint*& instance)
{
    return Instance_Provider_Frame::listGet<SCSIProtocolEndpoint_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_SCSIProtocolEndpoint_Provider::enum_instances(const VELDARO_SCSIProtocolEndpoint* model, Enum_Instances_Handler<VELDARO_SCSIProtocolEndpoint>* handler)
{
    return Instance_Provider_Frame::listEnum<SCSIProtocolEndpoint_Frame>(model, handler);
}

}  // namespace cimple
