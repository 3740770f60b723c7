// Tiering sub-pool capabilities: a list pair, one instance per supported RAID level.

#include "VELDARO_LayerixSubCapabilities_Provider.h"

#include "Element_List_Traits.h"
#include "VELDARO_LayerixSubCapabilities_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_LayerixSubCapabilities, VELDARO_LayerixSubCapabilities_Resource,
                                  &VELDARO_LayerixSubCapabilities_Resource::createLayerixSubCapabilities>;

}  // namespace

VELDARO_LayerixSubCapabilities_Provider::VELDARO_LayerixSubCapabilities_Provider() {}

VELDARO_LayerixSubCapabilities_Provider::~VELDARO_LayerixSubCapabilities_Provider() {}

Get_Instance_Status VELDARO_LayerixSubCapabilities_Provider::get_instance(const VELDARO_LayerixSubCapabilities* model,
                                                                          VELDARO_LayerixSubCapabilities*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_LayerixSubCapabilities_Provider::enum_instances(
    const VELDARO_LayerixSubCapabilities* model, Enum_Instances_Handler<VELDARO_LayerixSubCapabilities>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

}  // namespace cimple
