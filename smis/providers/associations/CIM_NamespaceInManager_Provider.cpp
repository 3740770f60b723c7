// The object manager with its name space: the first of each.

#include "CIM_NamespaceInManager_Provider.h"

#include "CIM_NamespaceInManager.h"
#include "Server_System_Pairs.h"
#include "VELDARO_Namespace.h"
#include "VELDARO_Namespace_Resource.h"
#include "VELDARO_ObjectManager.h"
#include "VELDARO_ObjectManager_Resource.h"

namespace cimple {

namespace {

bool managerNamespace(Association_Map_Frame& frame)
{
    return Server_System_Pairs::firstWithEvery<CIM_NamespaceInManager, VELDARO_ObjectManager_Resource,
                                               VELDARO_Namespace_Resource>(
        frame, &VELDARO_ObjectManager_Resource::createObjectManager, &VELDARO_Namespace_Resource::createNamespace,
        nullptr);
}

}  // namespace

CIM_NamespaceInManager_Provider::CIM_NamespaceInManager_Provider()
    : Association_Map_Frame(&CIM_NamespaceInManager::static_meta_class, managerNamespace, Array_Walk::NONE)
{
}

CIM_NamespaceInManager_Provider::~CIM_NamespaceInManager_Provider() {}

bool CIM_NamespaceInManager_Provider::_enumPairs()
{
    return true;
}

}  // namespace cimple
