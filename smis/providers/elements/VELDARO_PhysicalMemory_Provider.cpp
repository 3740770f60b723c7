// Controller memory modules: a list pair.

#include "VELDARO_PhysicalMemory_Provider.h"

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_PhysicalMemory_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_PhysicalMemory, VELDARO_PhysicalMemory_Resource, &VELDARO_PhysicalMemory_Resource::createPhysicalMemory>;

}  // namespace

VELDARO_PhysicalMemory_Provider::VELDARO_PhysicalMemory_Provider() {}

VELDARO_PhysicalMemory_Provider::~VELDARO_PhysicalMemory_Provider() {}

Get_Instance_Status VELDARO_PhysicalMemory_Provider::get_instance(const VELDARO_PhysicalMemory* model, VELDARO_PhysicalMemory*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_PhysicalMemory_Provider::enum_instances(const VELDARO_PhysicalMemory* model, Enum_Instances_Handler<VELDARO_PhysicalMemory>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

}  // namespace cimple
