// Controller cards: a list pair over the controller module records.

#include "VELDARO_ControllerCard_Provider.h"

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_ControllerCard_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_ControllerCard, VELDARO_ControllerCard_Resource, &VELDARO_ControllerCard_Resource::createControllerModuleCard>;

}  // namespace

VELDARO_ControllerCard_Provider::VELDARO_ControllerCard_Provider() {}

VELDARO_ControllerCard_Provider::~VELDARO_ControllerCard_Provider() {}

Get_Instance_Status VELDARO_ControllerCard_Provider::get_instance(const VELDARO_ControllerCard* model, VELDARO_ControllerCard*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_ControllerCard_Provider::enum_instances(const VELDARO_ControllerCard* model, Enum_Instances_Handler<VELDARO_ControllerCard>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

}  // namespace cimple
