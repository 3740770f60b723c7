// Masking capabilities: a list pair, one instance per array.

#include "VELDARO_ProtocolControllerMaskingCapabilities_Provider.h"

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_ProtocolControllerMaskingCapabilities_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_ProtocolControllerMaskingCapabilities, VELDARO_ProtocolControllerMaskingCapabilities_Resource, &VELDARO_ProtocolControllerMaskingCapabilities_Resource::createProtocolControllerMaskingCapabilities>;

}  // namespace

VELDARO_ProtocolControllerMaskingCapabilities_Provider::VELDARO_ProtocolControllerMaskingCapabilities_Provider() {}

VELDARO_ProtocolControllerMaskingCapabilities_Provider::~VELDARO_ProtocolControllerMaskingCapabilities_Provider() {}

Get_Instance_Status VELDARO_ProtocolControllerMaskingCapabilities_Provider::get_instance(const VELDARO_ProtocolControllerMaskingCapabilities* model, VELDARO_ProtocolControllerMaskingCapabilities*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_ProtocolControllerMaskingCapabilities_Provider::enum_instances(const VELDARO_ProtocolControllerMaskingCapabilities* model, Enum_Instances_Handler<VELDARO_ProtocolControllerMaskingCapabilities>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

}  // namespace cimple
