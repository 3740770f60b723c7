// The services each system hosts: the CIM server's system with its object
// manager, and each array's storage system with the first instance of each
// of its management, configuration and replication services.

#include "CIM_HostedService_Provider.h"

#include "Association_End.h"
#include "CIM_HostedService.h"
#include "Matching_Pair_Walk.h"
#include "Server_System_Pairs.h"
#include "Storage_System_List.h"
#include "VELDARO_ControllerConfigurationService.h"
#include "VELDARO_ControllerConfigurationService_Resource.h"
#include "VELDARO_ObjectManager.h"
#include "VELDARO_ObjectManager_Resource.h"
#include "VELDARO_PrivilegeManagementService.h"
#include "VELDARO_PrivilegeManagementService_Resource.h"
#include "VELDARO_ReplicationService.h"
#include "VELDARO_ReplicationService_Resource.h"
#include "VELDARO_StorageComputerSystem.h"
#include "VELDARO_StorageComputerSystem_Resource.h"
#include "VELDARO_StorageConfigurationService.h"
#include "VELDARO_StorageConfigurationService_Resource.h"
#include "VELDARO_StorageHardwareIDManagementService.h"
#include "VELDARO_StorageHardwareIDManagementService_Resource.h"
#include "VELDARO_System.h"
#include "VELDARO_System_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;
using Walk = Matching_Pair_Walk;

bool serverObjectManager(Association_Map_Frame& frame)
{
    return Server_System_Pairs::firstWithEvery<CIM_HostedService, VELDARO_System_Resource,
                                               VELDARO_ObjectManager_Resource>(
        frame, &VELDARO_System_Resource::createSystem, &VELDARO_ObjectManager_Resource::createObjectManager,
        Common::INTEROP_NAMESPACE);
}

using Systems = Array<VELDARO_StorageComputerSystem*>;

// The system with the first listed service of one Resource; false when the
// Resource fails (the frame then drops what was added for the array).
template <class Resource, int (Resource::*Build)()>
bool hostFirst(Association_Map_Frame& frame, Systems& systems)
{
    Resource services(frame.storage());
    if (!buildList(services, Build))
        return false;
    Walk::firstWithFirst<CIM_HostedService>(frame, systems, listedOf(services), Common::ARRAY_NAMESPACE);
    return true;
}

using Service_Row = bool (*)(Association_Map_Frame& frame, Systems& systems);

// The services of the storage system, in the order they are related.
const Service_Row SERVICES[] = {
    hostFirst<VELDARO_PrivilegeManagementService_Resource,
              &VELDARO_PrivilegeManagementService_Resource::createPrivilegeManagementService>,
    hostFirst<VELDARO_StorageHardwareIDManagementService_Resource,
              &VELDARO_StorageHardwareIDManagementService_Resource::createStorageHardwareIDManagementService>,
    hostFirst<VELDARO_ControllerConfigurationService_Resource,
              &VELDARO_ControllerConfigurationService_Resource::createControllerConfigurationService>,
    hostFirst<VELDARO_StorageConfigurationService_Resource,
              &VELDARO_StorageConfigurationService_Resource::createStorageConfigurationService>,
    hostFirst<VELDARO_ReplicationService_Resource, &VELDARO_ReplicationService_Resource::createReplicationService>,
};

bool systemServices(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        return Storage_System_List::with(frame, [&](VELDARO_StorageComputerSystem_Resource& systems) {
            for (Service_Row row : SERVICES)
                if (!row(frame, listedOf(systems)))
                    return false;
            return true;
        });
    });
}

}  // namespace

CIM_HostedService_Provider::CIM_HostedService_Provider()
    : Association_Map_Frame(&CIM_HostedService::static_meta_class, serverObjectManager)
{
}

CIM_HostedService_Provider::~CIM_HostedService_Provider() {}

bool CIM_HostedService_Provider::_enumPairs()
{
    return systemServices(*this);
}

}  // namespace cimple
