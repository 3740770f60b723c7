// TCP endpoints of the iSCSI ports: a list pair over the configuration table.

#include "VELDARO_TCPProtocolEndpoint_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_TCPProtocolEndpoint_Resource.h"

namespace cimple {

namespace {

struct TCPProtocolEndpoint_Frame {
    using Model = VELDARO_TCPProtocolEndpoint;
    using Builder = VELDARO_TCPProtocolEndpoint_Resource;
    static int build(Builder& builder) { return builder.createTCPProtocolEndpoint(); }
    static Array<Model*>& list(Builder& builder) { return builder.instances(); }
};

}  // namespace

VELDARO_TCPProtocolEndpoint_Provider::VELDARO_TCPProtocolEndpoint_Provider() {}

VELDARO_TCPProtocolEndpoint_Provider::~VELDARO_TCPProtocolEndpoint_Provider() {}

Get_Instance_Status VELDARO_TCPProtocolEndpoint_Provider::get_instance(const VELDARO_TCPProtocolEndpoint* model, VELDARO_TCPProtocolEndpoint*& instance)
{
    return Instance_Provider_Frame::listGet<TCPProtocolEndpoint_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_TCPProtocolEndpoint_Provider::enum_instances(const VELDARO_TCPProtocolEndpoint* model, Enum_Instances_Handler<VELDARO_TCPProtocolEndpoint>* handler)
{
    return Instance_Provider_Frame::listEnum<TCPProtocolEndpoint_Frame>(model, handler);
}

}  // namespace cimple
