#pragma once
// Builds VELDARO_iSCSIProtocolEndpoint instances: iSCSI target endpoints: one per present port of every present iSCSI CA of
// one array, named by the port's iSCSI name and target portal group tag.
// Reads the configuration table only. Also used by the association
// providers.

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_iSCSIProtocolEndpoint.h"

namespace cimple {

class VELDARO_iSCSIProtocolEndpoint_Resource {
public:
    explicit VELDARO_iSCSIProtocolEndpoint_Resource(const String& storage) : _storage(storage) {}
    ~VELDARO_iSCSIProtocolEndpoint_Resource();
    VELDARO_iSCSIProtocolEndpoint_Resource(const VELDARO_iSCSIProtocolEndpoint_Resource&) = delete;
    VELDARO_iSCSIProtocolEndpoint_Resource& operator=(const VELDARO_iSCSIProtocolEndpoint_Resource&) = delete;

    // 0 done (also with nothing found), 1 error (logged), 2 the array's
    // table image is not valid.
    int createiSCSIProtocolEndpoint();

    // Fills the properties of one instance; 0, or 1 after an exception (logged).
    int setiSCSIProtocolEndpoint(VELDARO_iSCSIProtocolEndpoint* instance, std::uint16_t cm, std::uint16_t ca,
                                  std::uint16_t port, const char* iscsiName, std::uint16_t tag, const char* storage,
                                  std::uint16_t raMode);

    Array<VELDARO_iSCSIProtocolEndpoint*>& instances() { return _instances; }

private:
    Array<VELDARO_iSCSIProtocolEndpoint*> _instances;
    String _storage;
};

}  // namespace cimple
