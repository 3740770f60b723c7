// Registered profiles: a fixed set.

#include "VELDARO_RegisteredProfile_Provider.h"

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_RegisteredProfile_Resource.h"

namespace cimple {

namespace {

using Frame = Element_Locked_List_Traits<VELDARO_RegisteredProfile, VELDARO_RegisteredProfile_Resource, &VELDARO_RegisteredProfile_Resource::createRegisteredProfile>;

}  // namespace

VELDARO_RegisteredProfile_Provider::VELDARO_RegisteredProfile_Provider() {}

VELDARO_RegisteredProfile_Provider::~VELDARO_RegisteredProfile_Provider() {}

Get_Instance_Status VELDARO_RegisteredProfile_Provider::get_instance(const VELDARO_RegisteredProfile* model, VELDARO_RegisteredProfile*& instance)
{
    return Instance_Provider_Frame::lockedListGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_RegisteredProfile_Provider::enum_instances(const VELDARO_RegisteredProfile* model, Enum_Instances_Handler<VELDARO_RegisteredProfile>* handler)
{
    return Instance_Provider_Frame::lockedListEnum<Frame>(model, handler);
}

}  // namespace cimple
