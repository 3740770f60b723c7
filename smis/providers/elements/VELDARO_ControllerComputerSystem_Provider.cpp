// Controller computer systems: a list pair, one instance per controller module.

#include "VELDARO_ControllerComputerSystem_Provider.h"

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_ControllerComputerSystem_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_ControllerComputerSystem, VELDARO_ControllerComputerSystem_Resource,
                                  &VELDARO_ControllerComputerSystem_Resource::createControllerModuleComputerSystem>;

}  // namespace

VELDARO_ControllerComputerSystem_Provider::VELDARO_ControllerComputerSystem_Provider() {}

VELDARO_ControllerComputerSystem_Provider::~VELDARO_ControllerComputerSystem_Provider() {}

Get_Instance_Status VELDARO_ControllerComputerSystem_Provider::get_instance(
    const VELDARO_ControllerComputerSystem* model, VELDARO_ControllerComputerSystem*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_ControllerComputerSystem_Provider::enum_instances(
    const VELDARO_ControllerComputerSystem* model, Enum_Instances_Handler<VELDARO_ControllerComputerSystem>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

}  // namespace cimple
