#pragma once
// Builds VELDARO_IPProtocolEndpoint instances: IP endpoints: one per present port of every present iSCSI CA of one array.
// Reads the configuration table only. Also used by the association
// providers.

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_IPProtocolEndpoint.h"

namespace cimple {

class VELDARO_IPProtocolEndpoint_Resource {
public:
    explicit VELDARO_IPProtocolEndpoint_Resource(const String& storage) : _storage(storage) {}
    ~VELDARO_IPProtocolEndpoint_Resource();
    VELDARO_IPProtocolEndpoint_Resource(const VELDARO_IPProtocolEndpoint_Resource&) = delete;
    VELDARO_IPProtocolEndpoint_Resource& operator=(const VELDARO_IPProtocolEndpoint_Resource&) = delete;

    // 0 done (also with nothing found), 1 error (logged), 2 the array's
    // table image is not valid.
    int createIPProtocolEndpoint();

    // Fills the properties of one instance; 0, or 1 after an exception (logged).
    int setIPProtocolEndpoint(VELDARO_IPProtocolEndpoint* instance, std::uint16_t cm, std::uint16_t ca,
                              std::uint16_t port, const char* ipAddress, const char* storage, const char* subnetMask);

    Array<VELDARO_IPProtocolEndpoint*>& instances() { return _instances; }

private:
    Array<VELDARO_IPProtocolEndpoint*> _instances;
    String _storage;
};

}  // namespace cimple
