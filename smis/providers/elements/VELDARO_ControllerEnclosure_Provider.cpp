// Controller enclosures: a list pair, one enclosure per array.

#include "VELDARO_ControllerEnclosure_Provider.h"

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_ControllerEnclosure_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_ControllerEnclosure, VELDARO_ControllerEnclosure_Resource, &VELDARO_ControllerEnclosure_Resource::createControllerEnclosureChassis>;

}  // namespace

VELDARO_ControllerEnclosure_Provider::VELDARO_ControllerEnclosure_Provider() {}

VELDARO_ControllerEnclosure_Provider::~VELDARO_ControllerEnclosure_Provider() {}

Get_Instance_Status VELDARO_ControllerEnclosure_Provider::get_instance(const VELDARO_ControllerEnclosure* model, VELDARO_ControllerEnclosure*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_ControllerEnclosure_Provider::enum_instances(const VELDARO_ControllerEnclosure* model, Enum_Instances_Handler<VELDARO_ControllerEnclosure>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

}  // namespace cimple
