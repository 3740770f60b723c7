// Live iSCSI sessions: a list pair over the logins the array reports.

#include "VELDARO_iSCSISession_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_iSCSISession_Resource.h"

namespace cimple {

namespace {

struct iSCSISession_Frame {
    using Model = VELDARO_iSCSISession;
    using Builder = VELDARO_iSCSISession_Resource;
    static int build(Builder& builder) { return builder.createiSCSISession(); }
    static Array<Model*>& list(Builder& builder) { return builder.instances(); }
};

}  // namespace

VELDARO_iSCSISession_Provider::VELDARO_iSCSISession_Provider() {}

VELDARO_iSCSISession_Provider::~VELDARO_iSCSISession_Provider() {}

Get_Instance_Status VELDARO_iSCSISession_Provider::get_instance(const VELDARO_iSCSISession* model, VELDARO_iSCSISession*& instance)
{
    return Instance_Provider_Frame::listGet<iSCSISession_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_iSCSISession_Provider::enum_instances(const VELDARO_iSCSISession* model, Enum_Instances_Handler<VELDARO_iSCSISession>* handler)
{
    return Instance_Provider_Frame::listEnum<iSCSISession_Frame>(model, handler);
}

}  // namespace cimple
