// Snapshot data pool volume capabilities: a list pair, one fixed instance per storage.

#include "VELDARO_SDPVCapabilities_Provider.h"

#include "Element_List_Traits.h"
#include "VELDARO_SDPVCapabilities_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_SDPVCapabilities, VELDARO_SDPVCapabilities_Resource,
                                  &VELDARO_SDPVCapabilities_Resource::createSDPVCapabilities>;

}  // namespace

VELDARO_SDPVCapabilities_Provider::VELDARO_SDPVCapabilities_Provider() {}

VELDARO_SDPVCapabilities_Provider::~VELDARO_SDPVCapabilities_Provider() {}

Get_Instance_Status VELDARO_SDPVCapabilities_Provider::get_instance(const VELDARO_SDPVCapabilities* model,
                                                                    VELDARO_SDPVCapabilities*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_SDPVCapabilities_Provider::enum_instances(
    const VELDARO_SDPVCapabilities* model, Enum_Instances_Handler<VELDARO_SDPVCapabilities>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

}  // namespace cimple
