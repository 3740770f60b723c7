// iSCSI (Ethernet) ports: a list pair over the CA port tables.

#include "VELDARO_EthernetPort_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_EthernetPort_Resource.h"

namespace cimple {

namespace {

struct EthernetPort_Frame {
    using Model = VELDARO_EthernetPort;
    using Builder = VELDARO_EthernetPort_Resource;
    static int build(Builder& builder) { return builder.createEthernetPort(); }
    static Array<Model*>& list(Builder& builder) { return builder.instances(); }
};

}  // namespace

VELDARO_EthernetPort_Provider::VELDARO_EthernetPort_Provider() {}

VELDARO_EthernetPort_Provider::~VELDARO_EthernetPort_Provider() {}

Get_Instance_Status VELDARO_EthernetPort_Provider::get_instance(const VELDARO_EthernetPort* model, VELDARO_EthernetPort*& instance)
{
    return Instance_Provider_Frame::listGet<EthernetPort_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_EthernetPort_Provider::enum_instances(const VELDARO_EthernetPort* model, Enum_Instances_Handler<VELDARO_EthernetPort>* handler)
{
    return Instance_Provider_Frame::listEnum<EthernetPort_Frame>(model, handler);
}

}  // namespace cimple
