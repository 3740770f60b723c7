// The CIM-XML communication mechanism: a fixed set of one instance.

#include "VELDARO_CIMXMLCommunicationMechanism_Provider.h"

#include "Element_List_Traits.h"
#include "Instance_Provider_Frame.h"
#include "VELDARO_CIMXMLCommunicationMechanism_Resource.h"

namespace cimple {

namespace {

using Frame = Element_Locked_List_Traits<VELDARO_CIMXMLCommunicationMechanism, VELDARO_CIMXMLCommunicationMechanism_Resource, &VELDARO_CIMXMLCommunicationMechanism_Resource::createCIMXMLCommunicationMechanism>;

}  // namespace

VELDARO_CIMXMLCommunicationMechanism_Provider::VELDARO_CIMXMLCommunicationMechanism_Provider() {}

VELDARO_CIMXMLCommunicationMechanism_Provider::~VELDARO_CIMXMLCommunicationMechanism_Provider() {}

Get_Instance_Status VELDARO_CIMXMLCommunicationMechanism_Provider::get_instance(const VELDARO_CIMXMLCommunicationMechanism* model, VELDARO_CIMXMLCommunicationMechanism*& instance)
{
    return Instance_Provider_Frame::lockedListGet<Frame>(model, instance);
}

Enum_Instances_Status VELDARO_CIMXMLCommunicationMechanism_Provider::enum_instances(const VELDARO_CIMXMLCommunicationMechanism* model, Enum_Instances_Handler<VELDARO_CIMXMLCommunicationMechanism>* handler)
{
    return Instance_Provider_Frame::lockedListEnum<Frame>(model, handler);
}

}  // namespace cimple
