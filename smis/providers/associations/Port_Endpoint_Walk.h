#pragma once
// Each element of a list builder (an Ethernet port, a TCP endpoint) with
// the first IP endpoint and then the first iSCSI endpoint on its port, for
// the map-shape associations of the iSCSI endpoint stack.

#include "Association_End.h"
#include "Association_Map_Frame.h"
#include "Matching_Pair_Walk.h"
#include "Port_Identity.h"
#include "VELDARO_IPProtocolEndpoint.h"
#include "VELDARO_IPProtocolEndpoint_Resource.h"
#include "VELDARO_iSCSIProtocolEndpoint.h"
#include "VELDARO_iSCSIProtocolEndpoint_Resource.h"

namespace cimple {

struct Port_Endpoint_Walk {
    // The endpoints are built only when the element list is not empty.
    // withIp: where the element stands beside its IP endpoint; it stands
    // first beside its iSCSI endpoint. False when a builder fails.
    template <class A, class Resource>
    static bool withEndpoints(Association_Map_Frame& frame, int (Resource::*build)(), Matching_Pair_Walk::Each withIp)
    {
        Resource elements(frame.storage());
        if (!buildList(elements, build))
            return false;
        if (listedOf(elements).size() == 0)
            return true;
        VELDARO_IPProtocolEndpoint_Resource ips(frame.storage());
        if (!buildList(ips, &VELDARO_IPProtocolEndpoint_Resource::createIPProtocolEndpoint))
            return false;
        VELDARO_iSCSIProtocolEndpoint_Resource iscsis(frame.storage());
        if (!buildList(iscsis, &VELDARO_iSCSIProtocolEndpoint_Resource::createiSCSIProtocolEndpoint))
            return false;
        Matching_Pair_Walk::firstsOfEach<A>(
            frame, listedOf(elements), port_identity::Same_Port(),
            Matching_Pair_Walk::candidates(listedOf(ips), withIp),
            Matching_Pair_Walk::candidates(listedOf(iscsis), Matching_Pair_Walk::Each::FIRST));
        return true;
    }
};

}  // namespace cimple
