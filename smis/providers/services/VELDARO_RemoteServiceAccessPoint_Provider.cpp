// Remote service access points: a list pair, one per array.

#include "VELDARO_RemoteServiceAccessPoint_Provider.h"

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_RemoteServiceAccessPoint_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_RemoteServiceAccessPoint, VELDARO_RemoteServiceAccessPoint_Resource,
                                  &VELDARO_RemoteServiceAccessPoint_Resource::createRemoteServiceAccessPoint>;

}  // namespace

VELDARO_RemoteServiceAccessPoint_Provider::VELDARO_RemoteServiceAccessPoint_Provider() {}

VELDARO_RemoteServiceAccessPoint_Provider::~VELDARO_RemoteServiceAccessPoint_Provider() {}

Get_Instance_Status VELDARO_RemoteServiceAccessPoint_Provider::get_instance(
    const VELDARO_RemoteServiceAccessPoint* model, VELDARO_RemoteServiceAccessPoint*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_RemoteServiceAccessPoint_Provider::enum_instances(
    const VELDARO_RemoteServiceAccessPoint* model, Enum_Instances_Handler<VELDARO_RemoteServiceAccessPoint>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

}  // namespace cimple
