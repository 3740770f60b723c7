// The endpoint stack of each iSCSI port: its TCP endpoint bound to the IP
// endpoint below and to the iSCSI endpoint above it.

#include "CIM_BindsTo_Provider.h"

#include <new>

#include "CIM_BindsTo.h"
#include "Port_Identity.h"
#include "VELDARO_IPProtocolEndpoint.h"
#include "VELDARO_IPProtocolEndpoint_Resource.h"
#include "VELDARO_TCPProtocolEndpoint.h"
#include "VELDARO_TCPProtocolEndpoint_Resource.h"
#include "VELDARO_iSCSIProtocolEndpoint.h"
#include "VELDARO_iSCSIProtocolEndpoint_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;
using namespace port_identity;

void add(Association_Map_Frame& frame, const Instance* lower, const Instance* upper)
{
    Instance* made = Common::newAssociation(&CIM_BindsTo::static_meta_class, clone(lower), clone(upper));
    if (!made)
        throw std::bad_alloc();
    frame.add(made);
}

bool endpointStacks(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_TCPProtocolEndpoint_Resource tcps(frame.storage());
        if (tcps.createTCPProtocolEndpoint() == 1)
            return false;
        if (items(tcps).size() == 0)
            return true;
        VELDARO_IPProtocolEndpoint_Resource ips(frame.storage());
        if (ips.createIPProtocolEndpoint() == 1)
            return false;
        VELDARO_iSCSIProtocolEndpoint_Resource iscsis(frame.storage());
        if (iscsis.createiSCSIProtocolEndpoint() == 1)
            return false;
        for (std::size_t t = 0; t < items(tcps).size(); ++t) {
            const VELDARO_TCPProtocolEndpoint* tcp = items(tcps)[t];
            if (!tcp)
                continue;
            if (const VELDARO_IPProtocolEndpoint* ip = firstOnPort(items(ips), *tcp))
                add(frame, ip, tcp);
            if (const VELDARO_iSCSIProtocolEndpoint* iscsi = firstOnPort(items(iscsis), *tcp))
                add(frame, tcp, iscsi);
        }
        return true;
    });
}

}  // namespace

CIM_BindsTo_Provider::CIM_BindsTo_Provider() : Association_Map_Frame(&CIM_BindsTo::static_meta_class) {}

CIM_BindsTo_Provider::~CIM_BindsTo_Provider() {}

bool CIM_BindsTo_Provider::_enumPairs()
{
    return endpointStacks(*this);
}

}  // namespace cimple
