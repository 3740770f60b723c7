// Disk products: a list pair, one instance per distinct disk product of an array.

#include "VELDARO_DiskProduct_Provider.h"

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_DiskProduct_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_DiskProduct, VELDARO_DiskProduct_Resource, &VELDARO_DiskProduct_Resource::createDiskProduct>;

}  // namespace

VELDARO_DiskProduct_Provider::VELDARO_DiskProduct_Provider() {}

VELDARO_DiskProduct_Provider::~VELDARO_DiskProduct_Provider() {}

Get_Instance_Status VELDARO_DiskProduct_Provider::get_instance(const VELDARO_DiskProduct* model, VELDARO_DiskProduct*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_DiskProduct_Provider::enum_instances(const VELDARO_DiskProduct* model, Enum_Instances_Handler<VELDARO_DiskProduct>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

}  // namespace cimple
