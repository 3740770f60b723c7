// LUN mapping controllers: a list pair, one instance per port in LUN-mapping mode.

#include "VELDARO_LUNMappingController_Provider.h"

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_LUNMappingController_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_LUNMappingController, VELDARO_LUNMappingController_Resource,
                                  &VELDARO_LUNMappingController_Resource::createLUNMappingController>;

}  // namespace

VELDARO_LUNMappingController_Provider::VELDARO_LUNMappingController_Provider() {}

VELDARO_LUNMappingController_Provider::~VELDARO_LUNMappingController_Provider() {}

Get_Instance_Status VELDARO_LUNMappingController_Provider::get_instance(const VELDARO_LUNMappingController* model,
                                                                        VELDARO_LUNMappingController*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_LUNMappingController_Provider::enum_instances(
    const VELDARO_LUNMappingController* model, Enum_Instances_Handler<VELDARO_LUNMappingController>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

}  // namespace cimple
