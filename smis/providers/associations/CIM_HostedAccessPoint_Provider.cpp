// The access points each system hosts: the CIM server's system with its
// communication mechanisms (one a listening protocol), each array's storage
// system with its first remote service access point, and each controller
// system with the protocol endpoints of its slot.

#include "CIM_HostedAccessPoint_Provider.h"

#include "Association_End.h"
#include "CIM_HostedAccessPoint.h"
#include "Matching_Pair_Walk.h"
#include "Server_System_Pairs.h"
#include "VELDARO_CIMXMLCommunicationMechanism.h"
#include "VELDARO_CIMXMLCommunicationMechanism_Resource.h"
#include "VELDARO_ControllerComputerSystem.h"
#include "VELDARO_ControllerComputerSystem_Resource.h"
#include "VELDARO_IPProtocolEndpoint.h"
#include "VELDARO_IPProtocolEndpoint_Resource.h"
#include "VELDARO_RemoteServiceAccessPoint.h"
#include "VELDARO_RemoteServiceAccessPoint_Resource.h"
#include "VELDARO_SCSIProtocolEndpoint.h"
#include "VELDARO_SCSIProtocolEndpoint_Resource.h"
#include "VELDARO_StorageComputerSystem.h"
#include "VELDARO_StorageComputerSystem_Resource.h"
#include "VELDARO_System.h"
#include "VELDARO_System_Resource.h"
#include "VELDARO_TCPProtocolEndpoint.h"
#include "VELDARO_TCPProtocolEndpoint_Resource.h"
#include "VELDARO_iSCSIProtocolEndpoint.h"
#include "VELDARO_iSCSIProtocolEndpoint_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;
using Walk = Matching_Pair_Walk;

bool serverCommunicationMechanism(Association_Map_Frame& frame)
{
    return Server_System_Pairs::firstWithEvery<CIM_HostedAccessPoint, VELDARO_System_Resource,
                                               VELDARO_CIMXMLCommunicationMechanism_Resource>(
        frame, &VELDARO_System_Resource::createSystem,
        &VELDARO_CIMXMLCommunicationMechanism_Resource::createCIMXMLCommunicationMechanism, Common::INTEROP_NAMESPACE);
}

// The storage system with its first remote service access point.
bool systemRemoteAccessPoint(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        const String& storage = frame.storage();
        VELDARO_StorageComputerSystem_Resource systems(storage);
        if (!buildList(systems, &VELDARO_StorageComputerSystem_Resource::createStorageComputerSystem))
            return false;
        VELDARO_RemoteServiceAccessPoint_Resource remotes(storage);
        if (!buildList(remotes, &VELDARO_RemoteServiceAccessPoint_Resource::createRemoteServiceAccessPoint))
            return false;
        Walk::firstWithFirst<CIM_HostedAccessPoint>(frame, listedOf(systems), listedOf(remotes),
                                                    Common::ARRAY_NAMESPACE);
        return true;
    });
}

// Per controller, in list order: its SCSI, IP, TCP and iSCSI endpoints,
// each list in its own order.
bool controllerEndpoints(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        const String& storage = frame.storage();
        VELDARO_SCSIProtocolEndpoint_Resource scsis(storage);
        VELDARO_IPProtocolEndpoint_Resource ips(storage);
        VELDARO_TCPProtocolEndpoint_Resource tcps(storage);
        VELDARO_iSCSIProtocolEndpoint_Resource iscsis(storage);
        VELDARO_ControllerComputerSystem_Resource controllers(storage);
        if (!buildList(scsis, &VELDARO_SCSIProtocolEndpoint_Resource::createSCSIProtocolEndpoint) ||
            !buildList(ips, &VELDARO_IPProtocolEndpoint_Resource::createIPProtocolEndpoint) ||
            !buildList(tcps, &VELDARO_TCPProtocolEndpoint_Resource::createTCPProtocolEndpoint) ||
            !buildList(iscsis, &VELDARO_iSCSIProtocolEndpoint_Resource::createiSCSIProtocolEndpoint) ||
            !buildList(controllers, &VELDARO_ControllerComputerSystem_Resource::createControllerModuleComputerSystem))
            return false;
        Walk::eachWithAllOf<CIM_HostedAccessPoint>(frame, listedOf(controllers), Walk::Same_Slot(),
                                                   Common::ARRAY_NAMESPACE, listedOf(scsis), listedOf(ips),
                                                   listedOf(tcps), listedOf(iscsis));
        return true;
    });
}

bool systemPairs(Association_Map_Frame& frame, const Instance*)
{
    return systemRemoteAccessPoint(frame);
}

bool controllerPairs(Association_Map_Frame& frame, const Instance*)
{
    return controllerEndpoints(frame);
}

// The CIM server's system and mechanism are paired by the independent pass
// alone; on an array the storage system and its remote access point are
// ends of the first walk only, controllers and endpoints of the second.
const Association_Map_Frame::Source_Route ROUTES[] = {
    {&VELDARO_System::static_meta_class, nullptr},
    {&VELDARO_CIMXMLCommunicationMechanism::static_meta_class, nullptr},
    {&VELDARO_StorageComputerSystem::static_meta_class, systemPairs},
    {&VELDARO_RemoteServiceAccessPoint::static_meta_class, systemPairs},
    {&VELDARO_ControllerComputerSystem::static_meta_class, controllerPairs},
    {&VELDARO_SCSIProtocolEndpoint::static_meta_class, controllerPairs},
    {&VELDARO_IPProtocolEndpoint::static_meta_class, controllerPairs},
    {&VELDARO_TCPProtocolEndpoint::static_meta_class, controllerPairs},
    {&VELDARO_iSCSIProtocolEndpoint::static_meta_class, controllerPairs},
};

}  // namespace

CIM_HostedAccessPoint_Provider::CIM_HostedAccessPoint_Provider()
    : Association_Map_Frame(&CIM_HostedAccessPoint::static_meta_class, serverCommunicationMechanism)
{
    routeSources(ROUTES);
}

CIM_HostedAccessPoint_Provider::~CIM_HostedAccessPoint_Provider() {}

bool CIM_HostedAccessPoint_Provider::_enumPairs()
{
    return systemRemoteAccessPoint(*this) && controllerEndpoints(*this);
}

}  // namespace cimple
