// Channel adapter slots: a list pair over the channel adapter entries.

#include "VELDARO_ChannelAdapterSlot_Provider.h"

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_ChannelAdapterSlot_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_ChannelAdapterSlot, VELDARO_ChannelAdapterSlot_Resource, &VELDARO_ChannelAdapterSlot_Resource::createChannelAdapterSlot>;

}  // namespace

VELDARO_ChannelAdapterSlot_Provider::VELDARO_ChannelAdapterSlot_Provider() {}

VELDARO_ChannelAdapterSlot_Provider::~VELDARO_ChannelAdapterSlot_Provider() {}

Get_Instance_Status VELDARO_ChannelAdapterSlot_Provider::get_instance(const VELDARO_ChannelAdapterSlot* model, VELDARO_ChannelAdapterSlot*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_ChannelAdapterSlot_Provider::enum_instances(const VELDARO_ChannelAdapterSlot* model, Enum_Instances_Handler<VELDARO_ChannelAdapterSlot>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

}  // namespace cimple
