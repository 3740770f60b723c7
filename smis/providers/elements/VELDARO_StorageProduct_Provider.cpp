// Storage products: a list pair, one instance per array.

#include "VELDARO_StorageProduct_Provider.h"

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_StorageProduct_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_StorageProduct, VELDARO_StorageProduct_Resource, &VELDARO_StorageProduct_Resource::createStorageProduct>;

}  // namespace

VELDARO_StorageProduct_Provider::VELDARO_StorageProduct_Provider() {}

VELDARO_StorageProduct_Provider::~VELDARO_StorageProduct_Provider() {}

Get_Instance_Status VELDARO_StorageProduct_Provider::get_instance(const VELDARO_StorageProduct* model, VELDARO_StorageProduct*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_StorageProduct_Provider::enum_instances(const VELDARO_StorageProduct* model, Enum_Instances_Handler<VELDARO_StorageProduct>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

}  // namespace cimple
