// The iSCSI sessions and connections of each array with the endpoints of
// their port: every session with the iSCSI endpoint of its port, every
// connection with the TCP endpoint of its port.

#include "CIM_EndpointOfNetworkPipe_Provider.h"

#include "Association_End.h"
#include "CIM_EndpointOfNetworkPipe.h"
#include "Matching_Pair_Walk.h"
#include "Port_Identity.h"
#include "VELDARO_TCPProtocolEndpoint.h"
#include "VELDARO_TCPProtocolEndpoint_Resource.h"
#include "VELDARO_iSCSIConnection.h"
#include "VELDARO_iSCSIConnection_Resource.h"
#include "VELDARO_iSCSIProtocolEndpoint.h"
#include "VELDARO_iSCSIProtocolEndpoint_Resource.h"
#include "VELDARO_iSCSISession.h"
#include "VELDARO_iSCSISession_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;
using Walk = Matching_Pair_Walk;
using port_identity::Same_Port;

// Every endpoint of the first list with every pipe of the second on its
// port; an empty endpoint list has nothing to pair.
template <class Endpoints, class Pipes>
bool endpointsPipes(Association_Map_Frame& frame, int (Endpoints::*listEndpoints)(), int (Pipes::*listPipes)())
{
    return Common::guard(__FILE__, __LINE__, [&] {
        Endpoints endpoints(frame.storage());
        if (!buildList(endpoints, listEndpoints))
            return false;
        if (listedOf(endpoints).size() == 0)
            return true;
        Pipes pipes(frame.storage());
        if (!buildList(pipes, listPipes))
            return false;
        Walk::allMatching<CIM_EndpointOfNetworkPipe>(frame, listedOf(endpoints), listedOf(pipes), Same_Port());
        return true;
    });
}

bool sessionPairs(Association_Map_Frame& frame, const Instance*)
{
    return endpointsPipes(frame, &VELDARO_iSCSIProtocolEndpoint_Resource::createiSCSIProtocolEndpoint,
                          &VELDARO_iSCSISession_Resource::createiSCSISession);
}

bool connectionPairs(Association_Map_Frame& frame, const Instance*)
{
    return endpointsPipes(frame, &VELDARO_TCPProtocolEndpoint_Resource::createTCPProtocolEndpoint,
                          &VELDARO_iSCSIConnection_Resource::createiSCSIConnection);
}

// iSCSI endpoints and sessions are ends of the first walk only, TCP
// endpoints and connections of the second.
const Association_Map_Frame::Source_Route ROUTES[] = {
    {&VELDARO_iSCSIProtocolEndpoint::static_meta_class, sessionPairs},
    {&VELDARO_iSCSISession::static_meta_class, sessionPairs},
    {&VELDARO_TCPProtocolEndpoint::static_meta_class, connectionPairs},
    {&VELDARO_iSCSIConnection::static_meta_class, connectionPairs},
};

}  // namespace

CIM_EndpointOfNetworkPipe_Provider::CIM_EndpointOfNetworkPipe_Provider()
    : Association_Map_Frame(&CIM_EndpointOfNetworkPipe::static_meta_class)
{
    routeSources(ROUTES);
}

CIM_EndpointOfNetworkPipe_Provider::~CIM_EndpointOfNetworkPipe_Provider() {}

bool CIM_EndpointOfNetworkPipe_Provider::_enumPairs()
{
    return sessionPairs(*this, nullptr) && connectionPairs(*this, nullptr);
}

}  // namespace cimple
