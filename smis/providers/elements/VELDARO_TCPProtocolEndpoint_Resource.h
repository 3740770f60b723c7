#pragma once
// Builds VELDARO_TCPProtocolEndpoint instances: TCP endpoints: one per present port of every present iSCSI CA of one array.
// Reads the configuration table only. Also used by the association
// providers.

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_TCPProtocolEndpoint.h"

namespace cimple {

class VELDARO_TCPProtocolEndpoint_Resource {
public:
    explicit VELDARO_TCPProtocolEndpoint_Resource(const String& storage) : _storage(storage) {}
    ~VELDARO_TCPProtocolEndpoint_Resource();
    VELDARO_TCPProtocolEndpoint_Resource(const VELDARO_TCPProtocolEndpoint_Resource&) = delete;
    VELDARO_TCPProtocolEndpoint_Resource& operator=(const VELDARO_TCPProtocolEndpoint_Resource&) = delete;

    // 0 done (also with nothing found), 1 error (logged), 2 the array's
    // table image is not valid.
    int createTCPProtocolEndpoint();

    // Fills the properties of one instance; 0, or 1 after an exception (logged).
    int setTCPProtocolEndpoint(VELDARO_TCPProtocolEndpoint* instance, std::uint16_t cm, std::uint16_t ca,
                               std::uint16_t port, std::uint16_t tcpPort, const char* storage);

    Array<VELDARO_TCPProtocolEndpoint*>& instances() { return _instances; }

private:
    Array<VELDARO_TCPProtocolEndpoint*> _instances;
    String _storage;
};

}  // namespace cimple
