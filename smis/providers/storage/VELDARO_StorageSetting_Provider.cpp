// Storage settings: a list pair over the fixed setting catalogue.

#include "VELDARO_StorageSetting_Provider.h"

#include "Element_List_Traits.h"
#include "VELDARO_StorageSetting_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_StorageSetting, VELDARO_StorageSetting_Resource,
                                  &VELDARO_StorageSetting_Resource::createStorageSetting>;

}  // namespace

VELDARO_StorageSetting_Provider::VELDARO_StorageSetting_Provider() {}

VELDARO_StorageSetting_Provider::~VELDARO_StorageSetting_Provider() {}

Get_Instance_Status VELDARO_StorageSetting_Provider::get_instance(const VELDARO_StorageSetting* model,
                                                                  VELDARO_StorageSetting*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_StorageSetting_Provider::enum_instances(
    const VELDARO_StorageSetting* model, Enum_Instances_Handler<VELDARO_StorageSetting>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

}  // namespace cimple
