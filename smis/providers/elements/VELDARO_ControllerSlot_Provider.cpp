// Controller slots: a list pair over the controller module records.

#include "VELDARO_ControllerSlot_Provider.h"

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_ControllerSlot_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_ControllerSlot, VELDARO_ControllerSlot_Resource, &VELDARO_ControllerSlot_Resource::createControllerModuleSlot>;

}  // namespace

VELDARO_ControllerSlot_Provider::VELDARO_ControllerSlot_Provider() {}

VELDARO_ControllerSlot_Provider::~VELDARO_ControllerSlot_Provider() {}

Get_Instance_Status VELDARO_ControllerSlot_Provider::get_instance(const VELDARO_ControllerSlot* model, VELDARO_ControllerSlot*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_ControllerSlot_Provider::enum_instances(const VELDARO_ControllerSlot* model, Enum_Instances_Handler<VELDARO_ControllerSlot>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

}  // namespace cimple
