// The endpoints each port implements: the SCSI endpoint of each FC port,
// the IP and iSCSI endpoints of each Ethernet port.

#include "CIM_DeviceSAPImplementation_Provider.h"

#include "Association_End.h"
#include "CA_Port_Name.h"
#include "CIM_DeviceSAPImplementation.h"
#include "Matching_Pair_Walk.h"
#include "Port_Endpoint_Walk.h"
#include "Port_Identity.h"
#include "VELDARO_EthernetPort.h"
#include "VELDARO_IPProtocolEndpoint.h"
#include "VELDARO_EthernetPort_Resource.h"
#include "VELDARO_FCPort.h"
#include "VELDARO_FCPort_Resource.h"
#include "VELDARO_SCSIProtocolEndpoint.h"
#include "VELDARO_SCSIProtocolEndpoint_Resource.h"
#include "VELDARO_iSCSIProtocolEndpoint.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;
using Walk = Matching_Pair_Walk;
using port_identity::Same_Port;

// Each SCSI endpoint with the first FC port on its port.
bool fcPortsSCSIEndpoints(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_SCSIProtocolEndpoint_Resource endpoints(frame.storage());
        if (!buildList(endpoints, &VELDARO_SCSIProtocolEndpoint_Resource::createSCSIProtocolEndpoint))
            return false;
        if (listedOf(endpoints).size() == 0)
            return true;
        VELDARO_FCPort_Resource ports(frame.storage());
        if (!buildList(ports, &VELDARO_FCPort_Resource::createFCPort))
            return false;
        Walk::firstWithEach<CIM_DeviceSAPImplementation>(frame, listedOf(endpoints), Walk::Each::SECOND,
                                                         listedOf(ports), Same_Port());
        return true;
    });
}

// Each Ethernet port with the first IP endpoint, then the first iSCSI
// endpoint, on its port.
bool ethernetPortsEndpoints(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        return Port_Endpoint_Walk::withEndpoints<CIM_DeviceSAPImplementation>(
            frame, &VELDARO_EthernetPort_Resource::createEthernetPort, Walk::Each::FIRST);
    });
}

// A port or endpoint is an end of its own kind of pairs only, and of the
// pairs on its own port: an FC port pairs with the SCSI endpoints on its
// port, an endpoint (named by its WWN) with the first FC port on its port.
bool fcPortPairs(Association_Map_Frame& frame, const Instance* source)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        CA_Port_Name on;
        if (!CA_Port_Name::ofKey(Common::keyText(source, "DeviceID"), "FCP_", on))
            return true;
        VELDARO_SCSIProtocolEndpoint_Resource endpoints(frame.storage());
        if (endpoints.createSCSIProtocolEndpointOn(on) == 1)
            return false;
        if (listedOf(endpoints).size() == 0)
            return true;
        VELDARO_FCPort_Resource ports(frame.storage());
        if (ports.createFCPortOn(on) == 1)
            return false;
        Walk::firstWithEach<CIM_DeviceSAPImplementation>(frame, listedOf(endpoints), Walk::Each::SECOND,
                                                         listedOf(ports), Same_Port());
        return true;
    });
}

bool scsiEndpointPairs(Association_Map_Frame& frame, const Instance* source)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_SCSIProtocolEndpoint_Resource endpoints(frame.storage());
        if (endpoints.createSCSIProtocolEndpointNamed(Common::keyText(source, "Name")) == 1)
            return false;
        auto& listed = listedOf(endpoints);
        for (std::size_t k = 0; k < listed.size(); ++k) {
            const VELDARO_SCSIProtocolEndpoint* endpoint = listed[k];
            if (!endpoint)
                continue;
            VELDARO_FCPort_Resource ports(frame.storage());
            const CA_Port_Name on = CA_Port_Name::fields(static_cast<std::uint16_t>(endpoint->CMSlotNumber.value),
                                                         static_cast<std::uint16_t>(endpoint->CASlotNumber.value),
                                                         static_cast<std::uint16_t>(endpoint->PortNo.value));
            if (ports.createFCPortOn(on) == 1)
                return false;
            if (const auto* fcPort = Walk::firstMatch(listedOf(ports), *endpoint, Same_Port()))
                frame.addClones<CIM_DeviceSAPImplementation>(fcPort, endpoint);
        }
        return true;
    });
}

bool ethernetPairs(Association_Map_Frame& frame, const Instance*)
{
    return ethernetPortsEndpoints(frame);
}

const Association_Map_Frame::Source_Route ROUTES[] = {
    {&VELDARO_FCPort::static_meta_class, fcPortPairs},
    {&VELDARO_SCSIProtocolEndpoint::static_meta_class, scsiEndpointPairs},
    {&VELDARO_EthernetPort::static_meta_class, ethernetPairs},
    {&VELDARO_IPProtocolEndpoint::static_meta_class, ethernetPairs},
    {&VELDARO_iSCSIProtocolEndpoint::static_meta_class, ethernetPairs},
};

}  // namespace

CIM_DeviceSAPImplementation_Provider::CIM_DeviceSAPImplementation_Provider()
    : Association_Map_Frame(&CIM_DeviceSAPImplementation::static_meta_class)
{
    routeSources(ROUTES);
}

CIM_DeviceSAPImplementation_Provider::~CIM_DeviceSAPImplementation_Provider() {}

bool CIM_DeviceSAPImplementation_Provider::_enumPairs()
{
    return fcPortsSCSIEndpoints(*this) && ethernetPortsEndpoints(*this);
}

}  // namespace cimple
