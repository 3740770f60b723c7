// The server system: a fixed set of one instance.

#include "VELDARO_System_Provider.h"

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_System_Resource.h"

namespace cimple {

namespace {

using Frame = Element_Locked_List_Traits<VELDARO_System, VELDARO_System_Resource, &VELDARO_System_Resource::createSystem>;

}  // namespace

VELDARO_System_Provider::VELDARO_System_Provider() {}

VELDARO_System_Provider::~VELDARO_System_Provider() {}

Get_Instance_Status VELDARO_System_Provider::get_instance(const VELDARO_System* model, VELDARO_System*& instance)
{
    return Instance_Provider_Frame::lockedListGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_System_Provider::enum_instances(const VELDARO_System* model, Enum_Instances_Handler<VELDARO_System>* handler)
{
    return Instance_Provider_Frame::lockedListEnum<Frame>(model, handler);
}

}  // namespace cimple
