// Endpoints of remote arrays' ports: a list pair over the connection map.

#include "VELDARO_RemoteSCSIProtocolEndpoint_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_RemoteSCSIProtocolEndpoint_Resource.h"

namespace cimple {

namespace {

struct RemoteSCSIProtocolEndpoint_Frame {
    using Model = VELDARO_RemoteSCSIProtocolEndpoint;
    using Builder = VELDARO_RemoteSCSIProtocolEndpoint_Resource;
    static int build(Builder& builder) { return builder.createRemoteSCSIProtocolEndpoint(); }
    static Array<Model*>& list(Builder& builder) { return builder.instances(); }
};

}  // namespace

VELDARO_RemoteSCSIProtocolEndpoint_Provider::VELDARO_RemoteSCSIProtocolEndpoint_Provider() {}

VELDARO_RemoteSCSIProtocolEndpoint_Provider::~VELDARO_RemoteSCSIProtocolEndpoint_Provider() {}

Get_Instance_Status VELDARO_RemoteSCSIProtocolEndpoint_Provider::get_instance(const VELDARO_RemoteSCSIProtocolEndpoint* model, VELDARO_RemoteSCSIProtocolEndpoint*& instance)
{
    return Instance_Provider_Frame::listGet<RemoteSCSIProtocolEndpoint_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_RemoteSCSIProtocolEndpoint_Provider::enum_instances(const VELDARO_RemoteSCSIProtocolEndpoint* model, Enum_Instances_Handler<VELDARO_RemoteSCSIProtocolEndpoint>* handler)
{
    return Instance_Provider_Frame::listEnum<RemoteSCSIProtocolEndpoint_Frame>(model, handler);
}

}  // namespace cimple
