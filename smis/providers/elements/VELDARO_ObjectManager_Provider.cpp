// The CIM object manager: a fixed set of one instance.

#include "VELDARO_ObjectManager_Provider.h"

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_ObjectManager_Resource.h"

namespace cimple {

namespace {

using Frame = Element_Locked_List_Traits<VELDARO_ObjectManager, VELDARO_ObjectManager_Resource, &VELDARO_ObjectManager_Resource::createObjectManager>;

}  // namespace

VELDARO_ObjectManager_Provider::VELDARO_ObjectManager_Provider() {}

VELDARO_ObjectManager_Provider::~VELDARO_ObjectManager_Provider() {}

Get_Instance_Status VELDARO_ObjectManager_Provider::get_instance(const VELDARO_ObjectManager* model, VELDARO_ObjectManager*& instance)
{
    return Instance_Provider_Frame::lockedListGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_ObjectManager_Provider::enum_instances(const VELDARO_ObjectManager* model, Enum_Instances_Handler<VELDARO_ObjectManager>* handler)
{
    return Instance_Provider_Frame::lockedListEnum<Frame>(model, handler);
}

}  // namespace cimple
