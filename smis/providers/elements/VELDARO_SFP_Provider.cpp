// SFP modules of the channel adapter ports: a list pair.

#include "VELDARO_SFP_Provider.h"

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_SFP_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_SFP, VELDARO_SFP_Resource, &VELDARO_SFP_Resource::createSFP>;

}  // namespace

VELDARO_SFP_Provider::VELDARO_SFP_Provider() {}

VELDARO_SFP_Provider::~VELDARO_SFP_Provider() {}

Get_Instance_Status VELDARO_SFP_Provider::get_instance(const VELDARO_SFP* model, VELDARO_SFP*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_SFP_Provider::enum_instances(const VELDARO_SFP* model, Enum_Instances_Handler<VELDARO_SFP>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

}  // namespace cimple
