// Storage computer systems: a list pair, one instance per array.

#include "VELDARO_StorageComputerSystem_Provider.h"

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_StorageComputerSystem_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_StorageComputerSystem, VELDARO_StorageComputerSystem_Resource,
                                  &VELDARO_StorageComputerSystem_Resource::createStorageComputerSystem>;

}  // namespace

VELDARO_StorageComputerSystem_Provider::VELDARO_StorageComputerSystem_Provider() {}

VELDARO_StorageComputerSystem_Provider::~VELDARO_StorageComputerSystem_Provider() {}

Get_Instance_Status VELDARO_StorageComputerSystem_Provider::get_instance(const VELDARO_StorageComputerSystem* model,
                                                                         VELDARO_StorageComputerSystem*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_StorageComputerSystem_Provider::enum_instances(
    const VELDARO_StorageComputerSystem* model, Enum_Instances_Handler<VELDARO_StorageComputerSystem>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

}  // namespace cimple
