// The default identifier: a list pair, one instance per array at most.

#include "VELDARO_DefaultStorageHardwareID_Provider.h"

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_DefaultStorageHardwareID_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_DefaultStorageHardwareID, VELDARO_DefaultStorageHardwareID_Resource, &VELDARO_DefaultStorageHardwareID_Resource::createDefaultStorageHardwareID>;

}  // namespace

VELDARO_DefaultStorageHardwareID_Provider::VELDARO_DefaultStorageHardwareID_Provider() {}

VELDARO_DefaultStorageHardwareID_Provider::~VELDARO_DefaultStorageHardwareID_Provider() {}

Get_Instance_Status VELDARO_DefaultStorageHardwareID_Provider::get_instance(const VELDARO_DefaultStorageHardwareID* model, VELDARO_DefaultStorageHardwareID*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_DefaultStorageHardwareID_Provider::enum_instances(const VELDARO_DefaultStorageHardwareID* model,
                                                           Enum_Instances_Handler<VELDARO_DefaultStorageHardwareID>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

}  // namespace cimple
