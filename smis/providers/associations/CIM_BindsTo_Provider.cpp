// The endpoint stack of each iSCSI port: its TCP endpoint bound to the IP
// endpoint below and to the iSCSI endpoint above it.

#include "CIM_BindsTo_Provider.h"

#include "CIM_BindsTo.h"
#include "Port_Endpoint_Walk.h"
#include "VELDARO_TCPProtocolEndpoint.h"
#include "VELDARO_TCPProtocolEndpoint_Resource.h"

namespace cimple {

namespace {

using Common = Association_Provider_Frame;

// Each TCP endpoint bound to the first IP endpoint below it and to the
// first iSCSI endpoint above it, on its port.
bool endpointStacks(Association_Map_Frame& frame)
{
    return Common::guard(__FILE__, __LINE__, [&] {
        return Port_Endpoint_Walk::withEndpoints<CIM_BindsTo>(
            frame, &VELDARO_TCPProtocolEndpoint_Resource::createTCPProtocolEndpoint, Matching_Pair_Walk::Each::SECOND);
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
