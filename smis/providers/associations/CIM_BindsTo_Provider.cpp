// The endpoint stack of each iSCSI port: its TCP endpoint bound to the IP
// endpoint below and to the iSCSI endpoint above it.

#include "CIM_BindsTo_Provider.h"

#include "Association_End.h"
#include "CIM_BindsTo.h"
#include "Matching_Pair_Walk.h"
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
using Walk = Matching_Pair_Walk;
using port_identity::Same_Port;

bool endpointStacks(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_TCPProtocolEndpoint_Resource tcps(frame.storage());
        if (!buildList(tcps, &VELDARO_TCPProtocolEndpoint_Resource::createTCPProtocolEndpoint))
            return false;
        if (listedOf(tcps).size() == 0)
            return true;
        VELDARO_IPProtocolEndpoint_Resource ips(frame.storage());
        if (!buildList(ips, &VELDARO_IPProtocolEndpoint_Resource::createIPProtocolEndpoint))
            return false;
        VELDARO_iSCSIProtocolEndpoint_Resource iscsis(frame.storage());
        if (!buildList(iscsis, &VELDARO_iSCSIProtocolEndpoint_Resource::createiSCSIProtocolEndpoint))
            return false;
        Walk::firstsOfEach<CIM_BindsTo>(frame, listedOf(tcps), Same_Port(),
                                        Walk::candidates(listedOf(ips), Walk::Each::SECOND),
                                        Walk::candidates(listedOf(iscsis), Walk::Each::FIRST));
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
