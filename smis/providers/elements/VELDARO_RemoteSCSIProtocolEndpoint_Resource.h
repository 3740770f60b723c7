#pragma once
// Builds VELDARO_RemoteSCSIProtocolEndpoint instances: one endpoint per
// entry of the array's remote-copy connection map, that is per port of a
// remote array reached over FC or iSCSI. Also used by the association
// providers.

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_RemoteSCSIProtocolEndpoint.h"

namespace cimple {

class VELDARO_RemoteSCSIProtocolEndpoint_Resource {
public:
    explicit VELDARO_RemoteSCSIProtocolEndpoint_Resource(const String& storage) : _storage(storage) {}
    ~VELDARO_RemoteSCSIProtocolEndpoint_Resource();
    VELDARO_RemoteSCSIProtocolEndpoint_Resource(const VELDARO_RemoteSCSIProtocolEndpoint_Resource&) = delete;
    VELDARO_RemoteSCSIProtocolEndpoint_Resource& operator=(const VELDARO_RemoteSCSIProtocolEndpoint_Resource&) = delete;

    // 0 done (also with nothing found), 1 error (logged), 2 the array's
    // table image is not valid.
    int createRemoteSCSIProtocolEndpoint();

    // caType 2: an iSCSI entry (name is the iSCSI name, ipAddress its
    // address); any other: FC (name is the WWN). 0, or 1 after an exception.
    int setRemoteSCSIProtocolEndpoint(VELDARO_RemoteSCSIProtocolEndpoint* instance, std::uint8_t caType,
                                      const char* name, const char* ipAddress, const char* boxId);

    Array<VELDARO_RemoteSCSIProtocolEndpoint*>& instances() { return _instances; }

private:
    Array<VELDARO_RemoteSCSIProtocolEndpoint*> _instances;
    String _storage;
};

}  // namespace cimple
