// Battery backup units: a list pair over the battery entries.

#include "VELDARO_BBU_Provider.h"

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_BBU_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_BBU, VELDARO_BBU_Resource, &VELDARO_BBU_Resource::createBBU>;

}  // namespace

VELDARO_BBU_Provider::VELDARO_BBU_Provider() {}

VELDARO_BBU_Provider::~VELDARO_BBU_Provider() {}

Get_Instance_Status VELDARO_BBU_Provider::get_instance(const VELDARO_BBU* model, VELDARO_BBU*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_BBU_Provider::enum_instances(const VELDARO_BBU* model, Enum_Instances_Handler<VELDARO_BBU>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

}  // namespace cimple
