// Storage configuration capabilities: a list pair, one fixed instance per storage.

#include "VELDARO_StorageConfigurationCapabilities_Provider.h"

#include "Element_List_Traits.h"
#include "VELDARO_StorageConfigurationCapabilities_Resource.h"

namespace cimple {

namespace {

using Frame =
    Element_List_Traits<VELDARO_StorageConfigurationCapabilities, VELDARO_StorageConfigurationCapabilities_Resource,
                        &VELDARO_StorageConfigurationCapabilities_Resource::createStorageConfigurationCapabilities>;

}  // namespace

VELDARO_StorageConfigurationCapabilities_Provider::VELDARO_StorageConfigurationCapabilities_Provider() {}

VELDARO_StorageConfigurationCapabilities_Provider::~VELDARO_StorageConfigurationCapabilities_Provider() {}

Get_Instance_Status VELDARO_StorageConfigurationCapabilities_Provider::get_instance(
    const VELDARO_StorageConfigurationCapabilities* model, VELDARO_StorageConfigurationCapabilities*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_StorageConfigurationCapabilities_Provider::enum_instances(
    const VELDARO_StorageConfigurationCapabilities* model,
    Enum_Instances_Handler<VELDARO_StorageConfigurationCapabilities>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

}  // namespace cimple
