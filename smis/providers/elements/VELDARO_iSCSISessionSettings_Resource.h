#pragma once
// Builds VELDARO_iSCSISessionSettings instances: the configured iSCSI session settings of every present port of every present
// iSCSI CA of one array.
// Reads the configuration table only. Also used by the association
// providers.

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_iSCSISessionSettings.h"

namespace cimple {

class VELDARO_iSCSISessionSettings_Resource {
public:
    explicit VELDARO_iSCSISessionSettings_Resource(const String& storage) : _storage(storage) {}
    ~VELDARO_iSCSISessionSettings_Resource();
    VELDARO_iSCSISessionSettings_Resource(const VELDARO_iSCSISessionSettings_Resource&) = delete;
    VELDARO_iSCSISessionSettings_Resource& operator=(const VELDARO_iSCSISessionSettings_Resource&) = delete;

    // 0 done (also with nothing found), 1 error (logged), 2 the array's
    // table image is not valid.
    int createiSCSISessionSettings();

    // Fills the properties of one instance; 0, or 1 after an exception (logged).
    int setiSCSISessionSettings(VELDARO_iSCSISessionSettings* instance, std::uint16_t cm, std::uint16_t ca,
                                std::uint16_t port, std::uint32_t maxConnections, std::uint32_t maxBurstLength,
                                std::uint32_t reconnectionWaitTime, std::uint32_t taskRetainTime,
                                std::uint32_t errorRecoveryLevel);

    Array<VELDARO_iSCSISessionSettings*>& instances() { return _instances; }

private:
    Array<VELDARO_iSCSISessionSettings*> _instances;
    String _storage;
};

}  // namespace cimple
