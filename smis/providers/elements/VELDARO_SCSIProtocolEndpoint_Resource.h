#pragma once
// Builds VELDARO_SCSIProtocolEndpoint instances: one SCSI target endpoint
// per present port of every present FC (masked real type 0, 0x5000) or SAS
// (0xA000) CA of one array. Also used by the association providers.

#include <cimple/cimple.h>

#include "CA_Port_Name.h"
#include "VELDARO_SCSIProtocolEndpoint.h"

namespace cimple {

class VELDARO_SCSIProtocolEndpoint_Resource {
public:
    explicit VELDARO_SCSIProtocolEndpoint_Resource(const String& storage) : _storage(storage) {}
    ~VELDARO_SCSIProtocolEndpoint_Resource();
    VELDARO_SCSIProtocolEndpoint_Resource(const VELDARO_SCSIProtocolEndpoint_Resource&) = delete;
    VELDARO_SCSIProtocolEndpoint_Resource& operator=(const VELDARO_SCSIProtocolEndpoint_Resource&) = delete;

    // 0 done (also with nothing found), 1 error (logged), 2 the array's
    // table image is not valid.
    int createSCSIProtocolEndpoint();
    // The same for the endpoints of the ports with the given numbers only,
    // or of the ports with the given WWN (the endpoint's Name) only; other
    // ports are not read further.
    int createSCSIProtocolEndpointOn(const CA_Port_Name& port);
    int createSCSIProtocolEndpointNamed(const char* wwn);

    Array<VELDARO_SCSIProtocolEndpoint*>& instances() { return _instances; }

private:
    int build(const CA_Port_Name* onPort, const char* named);

    Array<VELDARO_SCSIProtocolEndpoint*> _instances;
    String _storage;
};

}  // namespace cimple
