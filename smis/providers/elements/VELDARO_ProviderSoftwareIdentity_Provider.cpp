// The provider software itself: a fixed set of one instance.

#include "VELDARO_ProviderSoftwareIdentity_Provider.h"

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_ProviderSoftwareIdentity_Resource.h"

namespace cimple {

namespace {

using Frame = Element_Locked_List_Traits<VELDARO_ProviderSoftwareIdentity, VELDARO_ProviderSoftwareIdentity_Resource, &VELDARO_ProviderSoftwareIdentity_Resource::createProviderSoftwareIdentity>;

}  // namespace

VELDARO_ProviderSoftwareIdentity_Provider::VELDARO_ProviderSoftwareIdentity_Provider() {}

VELDARO_ProviderSoftwareIdentity_Provider::~VELDARO_ProviderSoftwareIdentity_Provider() {}

Get_Instance_Status VELDARO_ProviderSoftwareIdentity_Provider::get_instance(const VELDARO_ProviderSoftwareIdentity* model, VELDARO_ProviderSoftwareIdentity*& instance)
{
    return Instance_Provider_Frame::lockedListGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_ProviderSoftwareIdentity_Provider::enum_instances(const VELDARO_ProviderSoftwareIdentity* model, Enum_Instances_Handler<VELDARO_ProviderSoftwareIdentity>* handler)
{
    return Instance_Provider_Frame::lockedListEnum<Frame>(model, handler);
}

}  // namespace cimple
