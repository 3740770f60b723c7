// Registered sub-profiles: a fixed set.

#include "VELDARO_RegisteredSubProfile_Provider.h"

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_RegisteredSubProfile_Resource.h"

namespace cimple {

namespace {

using Frame = Element_Locked_List_Traits<VELDARO_RegisteredSubProfile, VELDARO_RegisteredSubProfile_Resource, &VELDARO_RegisteredSubProfile_Resource::createRegisteredSubProfile>;

}  // namespace

VELDARO_RegisteredSubProfile_Provider::VELDARO_RegisteredSubProfile_Provider() {}

VELDARO_RegisteredSubProfile_Provider::~VELDARO_RegisteredSubProfile_Provider() {}

Get_Instance_Status VELDARO_RegisteredSubProfile_Provider::get_instance(const VELDARO_RegisteredSubProfile* model, VELDARO_RegisteredSubProfile*& instance)
{
    return Instance_Provider_Frame::lockedListGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_RegisteredSubProfile_Provider::enum_instances(const VELDARO_RegisteredSubProfile* model, Enum_Instances_Handler<VELDARO_RegisteredSubProfile>* handler)
{
    return Instance_Provider_Frame::lockedListEnum<Frame>(model, handler);
}

}  // namespace cimple
