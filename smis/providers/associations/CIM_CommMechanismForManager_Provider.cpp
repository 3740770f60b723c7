// The object manager with its communication mechanisms, one a listening
// protocol.

#include "CIM_CommMechanismForManager_Provider.h"

#include "CIM_CommMechanismForManager.h"
#include "Server_System_Pairs.h"
#include "VELDARO_CIMXMLCommunicationMechanism.h"
#include "VELDARO_CIMXMLCommunicationMechanism_Resource.h"
#include "VELDARO_ObjectManager.h"
#include "VELDARO_ObjectManager_Resource.h"

namespace cimple {

namespace {

using Mechanisms = VELDARO_CIMXMLCommunicationMechanism_Resource;

bool managerMechanism(Association_Map_Frame& frame)
{
    return Server_System_Pairs::firstWithEvery<CIM_CommMechanismForManager, VELDARO_ObjectManager_Resource, Mechanisms>(
        frame, &VELDARO_ObjectManager_Resource::createObjectManager, &Mechanisms::createCIMXMLCommunicationMechanism,
        nullptr);
}

}  // namespace

CIM_CommMechanismForManager_Provider::CIM_CommMechanismForManager_Provider()
    : Association_Map_Frame(&CIM_CommMechanismForManager::static_meta_class, managerMechanism, Array_Walk::NONE)
{
}

CIM_CommMechanismForManager_Provider::~CIM_CommMechanismForManager_Provider() {}

bool CIM_CommMechanismForManager_Provider::_enumPairs()
{
    return true;
}

}  // namespace cimple
