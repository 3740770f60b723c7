// Locations: a list pair, one instance per array.

#include "VELDARO_Location_Provider.h"

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_Location_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_Location, VELDARO_Location_Resource, &VELDARO_Location_Resource::createLocation>;

}  // namespace

VELDARO_Location_Provider::VELDARO_Location_Provider() {}

VELDARO_Location_Provider::~VELDARO_Location_Provider() {}

Get_Instance_Status VELDARO_Location_Provider::get_instance(const VELDARO_Location* model, VELDARO_Location*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_Location_Provider::enum_instances(const VELDARO_Location* model, Enum_Instances_Handler<VELDARO_Location>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

}  // namespace cimple
