// Snapshot data pool capabilities: a list pair, one fixed instance per storage.

#include "VELDARO_SnapDataCapabilities_Provider.h"

#include "Element_List_Traits.h"
#include "VELDARO_SnapDataCapabilities_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_SnapDataCapabilities, VELDARO_SnapDataCapabilities_Resource,
                                  &VELDARO_SnapDataCapabilities_Resource::createSnapDataCapabilities>;

}  // namespace

VELDARO_SnapDataCapabilities_Provider::VELDARO_SnapDataCapabilities_Provider() {}

VELDARO_SnapDataCapabilities_Provider::~VELDARO_SnapDataCapabilities_Provider() {}

Get_Instance_Status VELDARO_SnapDataCapabilities_Provider::get_instance(const VELDARO_SnapDataCapabilities* model,
                                                                        VELDARO_SnapDataCapabilities*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_SnapDataCapabilities_Provider::enum_instances(
    const VELDARO_SnapDataCapabilities* model, Enum_Instances_Handler<VELDARO_SnapDataCapabilities>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

}  // namespace cimple
