// Controller firmware as the storage system sees it: a list pair, one instance per controller module.

#include "VELDARO_StorageComputerSystemSoftwareIdentity_Provider.h"

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_StorageComputerSystemSoftwareIdentity_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_StorageComputerSystemSoftwareIdentity, VELDARO_StorageComputerSystemSoftwareIdentity_Resource, &VELDARO_StorageComputerSystemSoftwareIdentity_Resource::createStorageComputerSystemSoftwareIdentity>;

}  // namespace

VELDARO_StorageComputerSystemSoftwareIdentity_Provider::VELDARO_StorageComputerSystemSoftwareIdentity_Provider() {}

VELDARO_StorageComputerSystemSoftwareIdentity_Provider::~VELDARO_StorageComputerSystemSoftwareIdentity_Provider() {}

Get_Instance_Status VELDARO_StorageComputerSystemSoftwareIdentity_Provider::get_instance(const VELDARO_StorageComputerSystemSoftwareIdentity* model, VELDARO_StorageComputerSystemSoftwareIdentity*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_StorageComputerSystemSoftwareIdentity_Provider::enum_instances(const VELDARO_StorageComputerSystemSoftwareIdentity* model, Enum_Instances_Handler<VELDARO_StorageComputerSystemSoftwareIdentity>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

}  // namespace cimple
