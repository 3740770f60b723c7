// Storage replication capabilities: a list pair, two per array.

#include "VELDARO_StorageReplicationCapabilities_Provider.h"

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_StorageReplicationCapabilities_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_StorageReplicationCapabilities, VELDARO_StorageReplicationCapabilities_Resource, &VELDARO_StorageReplicationCapabilities_Resource::createStorageReplicationCapabilities>;

}  // namespace

VELDARO_StorageReplicationCapabilities_Provider::VELDARO_StorageReplicationCapabilities_Provider() {}

VELDARO_StorageReplicationCapabilities_Provider::~VELDARO_StorageReplicationCapabilities_Provider() {}

Get_Instance_Status VELDARO_StorageReplicationCapabilities_Provider::get_instance(const VELDARO_StorageReplicationCapabilities* model, VELDARO_StorageReplicationCapabilities*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_StorageReplicationCapabilities_Provider::enum_instances(const VELDARO_StorageReplicationCapabilities* model, Enum_Instances_Handler<VELDARO_StorageReplicationCapabilities>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

}  // namespace cimple
