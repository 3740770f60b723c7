#pragma once
// Builds VELDARO_iSCSIConnectionSettings instances: the configured iSCSI connection settings of every present port of every
// present iSCSI CA of one array.
// Reads the configuration table only. Also used by the association
// providers.

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_iSCSIConnectionSettings.h"

namespace cimple {

class VELDARO_iSCSIConnectionSettings_Resource {
public:
    explicit VELDARO_iSCSIConnectionSettings_Resource(const String& storage) : _storage(storage) {}
    ~VELDARO_iSCSIConnectionSettings_Resource();
    VELDARO_iSCSIConnectionSettings_Resource(const VELDARO_iSCSIConnectionSettings_Resource&) = delete;
    VELDARO_iSCSIConnectionSettings_Resource& operator=(const VELDARO_iSCSIConnectionSettings_Resource&) = delete;

    // 0 done (also with nothing found), 1 error (logged), 2 the array's
    // table image is not valid.
    int createiSCSIConnectionSettings();

    // Fills the properties of one instance; 0, or 1 after an exception (logged).
    int setiSCSIConnectionSettings(VELDARO_iSCSIConnectionSettings* instance, std::uint16_t cm, std::uint16_t ca,
                                   std::uint16_t port, std::uint32_t maxReceiveDataSegmentLength,
                                   std::uint8_t headerDigest, std::uint8_t dataDigest, std::uint16_t iscsiOption);

    Array<VELDARO_iSCSIConnectionSettings*>& instances() { return _instances; }

private:
    Array<VELDARO_iSCSIConnectionSettings*> _instances;
    String _storage;
};

}  // namespace cimple
