// Replication settings: a list pair, one setting per copy kind and array.

#include "VELDARO_ReplicationSettingData_Provider.h"

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_ReplicationSettingData_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_ReplicationSettingData, VELDARO_ReplicationSettingData_Resource, &VELDARO_ReplicationSettingData_Resource::createReplicationSettingData>;

}  // namespace

VELDARO_ReplicationSettingData_Provider::VELDARO_ReplicationSettingData_Provider() {}

VELDARO_ReplicationSettingData_Provider::~VELDARO_ReplicationSettingData_Provider() {}

Get_Instance_Status VELDARO_ReplicationSettingData_Provider::get_instance(const VELDARO_ReplicationSettingData* model, VELDARO_ReplicationSettingData*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_ReplicationSettingData_Provider::enum_instances(const VELDARO_ReplicationSettingData* model, Enum_Instances_Handler<VELDARO_ReplicationSettingData>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

}  // namespace cimple
