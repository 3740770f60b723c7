// Live iSCSI connections: a list pair over the logins the array reports.

#include "VELDARO_iSCSIConnection_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_iSCSIConnection_Resource.h"

namespace cimple {

namespace {

struct iSCSIConnection_Frame {
    using Model = VELDARO_iSCSIConnection;
    using Builder = VELDARO_iSCSIConnection_Resource;
    static int build(Builder& builder) { return builder.createiSCSIConnection(); }
    static Array<Model*>& list(Builder& builder) { return builder.instances(); }
};

}  // namespace

VELDARO_iSCSIConnection_Provider::VELDARO_iSCSIConnection_Provider() {}

VELDARO_iSCSIConnection_Provider::~VELDARO_iSCSIConnection_Provider() {}

Get_Instance_Status VELDARO_iSCSIConnection_Provider::get_instance(const VELDARO_iSCSIConnection* model, VELDARO_iSCSIConnection*& instance)
{
    return Instance_Provider_Frame::listGet<iSCSIConnection_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_iSCSIConnection_Provider::enum_instances(const VELDARO_iSCSIConnection* model, Enum_Instances_Handler<VELDARO_iSCSIConnection>* handler)
{
    return Instance_Provider_Frame::listEnum<iSCSIConnection_Frame>(model, handler);
}

}  // namespace cimple
