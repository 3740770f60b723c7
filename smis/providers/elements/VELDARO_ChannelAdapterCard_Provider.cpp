// Channel adapter cards: a list pair over the channel adapter entries.

#include "VELDARO_ChannelAdapterCard_Provider.h"

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_ChannelAdapterCard_Resource.h"

namespace cimple {

namespace {

using Frame = Element_List_Traits<VELDARO_ChannelAdapterCard, VELDARO_ChannelAdapterCard_Resource, &VELDARO_ChannelAdapterCard_Resource::createChannelAdapterCard>;

}  // namespace

VELDARO_ChannelAdapterCard_Provider::VELDARO_ChannelAdapterCard_Provider() {}

VELDARO_ChannelAdapterCard_Provider::~VELDARO_ChannelAdapterCard_Provider() {}

Get_Instance_Status VELDARO_ChannelAdapterCard_Provider::get_instance(const VELDARO_ChannelAdapterCard* model, VELDARO_ChannelAdapterCard*& instance)
{
    return Instance_Provider_Frame::listGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_ChannelAdapterCard_Provider::enum_instances(const VELDARO_ChannelAdapterCard* model, Enum_Instances_Handler<VELDARO_ChannelAdapterCard>* handler)
{
    return Instance_Provider_Frame::listEnum<Frame>(model, handler);
}

}  // namespace cimple
