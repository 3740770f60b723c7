// IP endpoints of the iSCSI ports: a list pair over the configuration table.

#include "VELDARO_IPProtocolEndpoint_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_IPProtocolEndpoint_Resource.h"

namespace cimple {

namespace {

struct IPProtocolEndpoint_Frame {
    using Model = VELDARO_IPProtocolEndpoint;
    using Builder = VELDARO_IPProtocolEndpoint_Resource;
    static int build(Builder& builder) { return builder.createIPProtocolEndpoint(); }
    static Array<Model*>& list(Builder& builder) { return builder.instances(); }
};

}  // namespace

VELDARO_IPProtocolEndpoint_Provider::VELDARO_IPProtocolEndpoint_Provider() {}

VELDARO_IPProtocolEndpoint_Provider::~VELDARO_IPProtocolEndpoint_Provider() {}

Get_Instance_Status VELDARO_IPProtocolEndpoint_Provider::get_instance(const VELDARO_IPProtocolEndpoint* model, VELDARO_IPProtocolEndpoint*& instance)
{
    return Instance_Provider_Frame::listGet<IPProtocolEndpoint_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_IPProtocolEndpoint_Provider::enum_instances(const VELDARO_IPProtocolEndpoint* model, Enum_Instances_Handler<VELDARO_IPProtocolEndpoint>* handler)
{
    return Instance_Provider_Frame::listEnum<IPProtocolEndpoint_Frame>(model, handler);
}

}  // namespace cimple
