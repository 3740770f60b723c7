// Tiering pool capabilities: a list pair, one fixed instance per storage.

#include "VELDARO_LayerixCapabilities_Provider.h"

#include "Element_List_Traits.h"
#include "VELDARO_LayerixCapabilities_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_LayerixCapabilities, VELDARO_LayerixCapabilities_Resource,
                                  &VELDARO_LayerixCapabilities_Resource::createLayerixCapabilities>;

}  // namespace

VELDARO_LayerixCapabilities_Provider::VELDARO_LayerixCapabilities_Provider() {}

VELDARO_LayerixCapabilities_Provider::~VELDARO_LayerixCapabilities_Provider() {}

Get_Instance_Status VELDARO_LayerixCapabilities_Provider::get_instance(const VELDARO_LayerixCapabilities* model,
                                                                       VELDARO_LayerixCapabilities*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_LayerixCapabilities_Provider::enum_instances(
    const VELDARO_LayerixCapabilities* model, Enum_Instances_Handler<VELDARO_LayerixCapabilities>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

}  // namespace cimple
