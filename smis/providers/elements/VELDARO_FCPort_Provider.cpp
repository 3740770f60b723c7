// FC ports: a list pair over the CA port tables.

#include "VELDARO_FCPort_Provider.h"

#include "Instance_Provider_Frame.h"
#include "VELDARO_FCPort_Resource.h"

namespace cimple {

namespace {

struct FCPort_Frame {
    using Model = VELDARO_FCPort;
    using Builder = VELDARO_FCPort_Resource;
    static int build(Builder& builder) { return builder.createFCPort(); }
    static Array<Model*>& list(Builder& builder) { return builder.instances(); }
};

}  // namespace

VELDARO_FCPort_Provider::VELDARO_FCPort_Provider() {}

VELDARO_FCPort_Provider::~VELDARO_FCPort_Provider() {}

Get_Instance_Status VELDARO_FCPort_Provider::get_instance(const VELDARO_FCPort* model, VELDARO_FCPort*& instance)
{
    return Instance_Provider_Frame::listGet<FCPort_Frame>(model, instance);
}

Enum_Instances_Status VELDARO_FCPort_Provider::enum_instances(const VELDARO_FCPort* model, Enum_Instances_Handler<VELDARO_FCPort>* handler)
{
    return Instance_Provider_Frame::listEnum<FCPort_Frame>(model, handler);
}

}  // namespace cimple
