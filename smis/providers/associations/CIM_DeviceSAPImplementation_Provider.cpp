// The endpoints each port implements: the SCSI endpoint of each FC port,
// the IP and iSCSI endpoints of each Ethernet port.

#include "CIM_DeviceSAPImplementation_Provider.h"

#include <new>

#include "CIM_DeviceSAPImplementation.h"
#include "Port_Identity.h"
#include "VELDARO_EthernetPort.h"
#include "VELDARO_EthernetPort_Resource.h"
#include "VELDARO_FCPort.h"
#include "VELDARO_FCPort_Resource.h"
#include "VELDARO_IPProtocolEndpoint.h"
#include "VELDARO_IPProtocolEndpoint_Resource.h"
#include "VELDARO_SCSIProtocolEndpoint.h"
#include "VELDARO_SCSIProtocolEndpoint_Resource.h"
#include "VELDARO_iSCSIProtocolEndpoint.h"
#include "VELDARO_iSCSIProtocolEndpoint_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;
using namespace port_identity;

void add(Association_Map_Frame& frame, const Instance* port, const Instance* endpoint)
{
    Instance* made = Common::newAssociation(&CIM_DeviceSAPImplementation::static_meta_class, clone(port),
                                            clone(endpoint));
    if (!made)
        throw std::bad_alloc();
    frame.add(made);
}

// Each SCSI endpoint with the first FC port on its port.
bool fcPortsSCSIEndpoints(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_SCSIProtocolEndpoint_Resource endpoints(frame.storage());
        if (endpoints.createSCSIProtocolEndpoint() == 1)
            return false;
        if (items(endpoints).size() == 0)
            return true;
        VELDARO_FCPort_Resource ports(frame.storage());
        if (ports.createFCPort() == 1)
            return false;
        for (std::size_t e = 0; e < items(endpoints).size(); ++e) {
            const VELDARO_SCSIProtocolEndpoint* endpoint = items(endpoints)[e];
            if (!endpoint)
                continue;
            if (const VELDARO_FCPort* port = firstOnPort(items(ports), *endpoint))
                add(frame, port, endpoint);
        }
        return true;
    });
}

// Each Ethernet port with the first IP endpoint, then the first iSCSI
// endpoint, on its port.
bool ethernetPortsEndpoints(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_EthernetPort_Resource ports(frame.storage());
        if (ports.createEthernetPort() == 1)
            return false;
        if (items(ports).size() == 0)
            return true;
        VELDARO_IPProtocolEndpoint_Resource ips(frame.storage());
        if (ips.createIPProtocolEndpoint() == 1)
            return false;
        VELDARO_iSCSIProtocolEndpoint_Resource iscsis(frame.storage());
        if (iscsis.createiSCSIProtocolEndpoint() == 1)
            return false;
        for (std::size_t p = 0; p < items(ports).size(); ++p) {
            const VELDARO_EthernetPort* port = items(ports)[p];
            if (!port)
                continue;
            if (const VELDARO_IPProtocolEndpoint* ip = firstOnPort(items(ips), *port))
                add(frame, port, ip);
            if (const VELDARO_iSCSIProtocolEndpoint* iscsi = firstOnPort(items(iscsis), *port))
                add(frame, port, iscsi);
        }
        return true;
    });
}

}  // namespace

CIM_DeviceSAPImplementation_Provider::CIM_DeviceSAPImplementation_Provider()
    : Association_Map_Frame(&CIM_DeviceSAPImplementation::static_meta_class)
{
}

CIM_DeviceSAPImplementation_Provider::~CIM_DeviceSAPImplementation_Provider() {}

bool CIM_DeviceSAPImplementation_Provider::_enumPairs()
{
    return fcPortsSCSIEndpoints(*this) && ethernetPortsEndpoints(*this);
}

}  // namespace cimple
