// Fans of the controller enclosure: a list pair over the fan entries.

#include "VELDARO_FAN_Provider.h"

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_FAN_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_FAN, VELDARO_FAN_Resource, &VELDARO_FAN_Resource::createFAN>;

}  // namespace

VELDARO_FAN_Provider::VELDARO_FAN_Provider() {}

VELDARO_FAN_Provider::~VELDARO_FAN_Provider() {}

Get_Instance_Status VELDARO_FAN_Provider::get_instance(const VELDARO_FAN* model, VELDARO_FAN*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_FAN_Provider::enum_instances(const VELDARO_FAN* model, Enum_Instances_Handler<VELDARO_FAN>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

}  // namespace cimple
