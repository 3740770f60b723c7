// Controller firmware per controller module: a list pair.

#include "VELDARO_ControllerModuleSoftwareIdentity_Provider.h"

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_ControllerModuleSoftwareIdentity_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_ControllerModuleSoftwareIdentity, VELDARO_ControllerModuleSoftwareIdentity_Resource, &VELDARO_ControllerModuleSoftwareIdentity_Resource::createControllerModuleSoftwareIdentity>;

}  // namespace

VELDARO_ControllerModuleSoftwareIdentity_Provider::VELDARO_ControllerModuleSoftwareIdentity_Provider() {}

VELDARO_ControllerModuleSoftwareIdentity_Provider::~VELDARO_ControllerModuleSoftwareIdentity_Provider() {}

Get_Instance_Status VELDARO_ControllerModuleSoftwareIdentity_Provider::get_instance(const VELDARO_ControllerModuleSoftwareIdentity* model, VELDARO_ControllerModuleSoftwareIdentity*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_ControllerModuleSoftwareIdentity_Provider::enum_instances(const VELDARO_ControllerModuleSoftwareIdentity* model, Enum_Instances_Handler<VELDARO_ControllerModuleSoftwareIdentity>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

}  // namespace cimple
