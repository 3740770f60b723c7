// The array's replication service with each connectivity collection it
// affects.

#include "CIM_ServiceAffectsElement_Provider.h"

#include "Association_End.h"
#include "CIM_ServiceAffectsElement.h"
#include "Matching_Pair_Walk.h"
#include "VELDARO_ConnectivityCollection_Resource.h"
#include "VELDARO_ReplicationService_Resource.h"

namespace cimple {

CIM_ServiceAffectsElement_Provider::CIM_ServiceAffectsElement_Provider()
    : Association_Map_Frame(&CIM_ServiceAffectsElement::static_meta_class)
{
}

CIM_ServiceAffectsElement_Provider::~CIM_ServiceAffectsElement_Provider() {}

bool CIM_ServiceAffectsElement_Provider::_enumPairs()
{
    return Association_Provider_Frame::guard(__FILE__, __LINE__, [&] {
        return Matching_Pair_Walk::leadWith<CIM_ServiceAffectsElement>(
            *this, &VELDARO_ReplicationService_Resource::createReplicationService, Matching_Pair_Walk::Each::SECOND,
            &VELDARO_ConnectivityCollection_Resource::createConnectivityCollection,
            Matching_Pair_Walk::Others::EVERY);
    });
}

}  // namespace cimple
