// Each iSCSI session of an array with the first connection of its port
// that carries the session's iSCSI port name.

#include "CIM_NetworkPipeComposition_Provider.h"

#include "Association_End.h"
#include "CIM_NetworkPipeComposition.h"
#include "Matching_Pair_Walk.h"
#include "Port_Identity.h"
#include "VELDARO_iSCSIConnection.h"
#include "VELDARO_iSCSIConnection_Resource.h"
#include "VELDARO_iSCSISession.h"
#include "VELDARO_iSCSISession_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;
using Walk = Matching_Pair_Walk;

// Same port and the same iSCSI port name.
struct Same_Login {
    bool operator()(const VELDARO_iSCSIConnection& c, const VELDARO_iSCSISession& s) const
    {
        return port_identity::samePort(c, s) && c.iSCSIPortName.null == s.iSCSIPortName.null &&
               c.iSCSIPortName.value == s.iSCSIPortName.value;
    }
};

bool sessionsConnections(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        VELDARO_iSCSISession_Resource sessions(frame.storage());
        if (!buildList(sessions, &VELDARO_iSCSISession_Resource::createiSCSISession))
            return false;
        if (listedOf(sessions).size() == 0)
            return true;
        VELDARO_iSCSIConnection_Resource connections(frame.storage());
        if (!buildList(connections, &VELDARO_iSCSIConnection_Resource::createiSCSIConnection))
            return false;
        Walk::firstWithEach<CIM_NetworkPipeComposition>(frame, listedOf(sessions), Walk::Each::FIRST,
                                                        listedOf(connections), Same_Login());
        return true;
    });
}

}  // namespace

CIM_NetworkPipeComposition_Provider::CIM_NetworkPipeComposition_Provider()
    : Association_Map_Frame(&CIM_NetworkPipeComposition::static_meta_class)
{
}

CIM_NetworkPipeComposition_Provider::~CIM_NetworkPipeComposition_Provider() {}

bool CIM_NetworkPipeComposition_Provider::_enumPairs()
{
    return sessionsConnections(*this);
}

}  // namespace cimple
