#pragma once
// Builds VELDARO_RemoteServiceAccessPoint: the access point that carries an
// array's own box ID, one per array. Clients pass it to the replication
// service to name the array on the other side of a remote mirror.

#include <cimple/cimple.h>

#include "Instance_List_Resource.h"
#include "VELDARO_RemoteServiceAccessPoint.h"

namespace cimple {

class VELDARO_RemoteServiceAccessPoint_Resource : public Instance_List_Resource<VELDARO_RemoteServiceAccessPoint> {
public:
    explicit VELDARO_RemoteServiceAccessPoint_Resource(const String& storage) : Instance_List_Resource(storage) {}

    // 0 built, 1 failure (also an array without box ID), 2 the array's table
    // image is not valid.
    int createRemoteServiceAccessPoint();
};

}  // namespace cimple
