#pragma once
// Builds VELDARO_EthernetPort instances: one per present port of every
// present iSCSI CA of one array, with the current link speed from the
// array's port link status. Also used by the association providers for the
// port end points.

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_EthernetPort.h"

namespace cimple {

class VELDARO_EthernetPort_Resource {
public:
    explicit VELDARO_EthernetPort_Resource(const String& storage) : _storage(storage) {}
    ~VELDARO_EthernetPort_Resource();
    VELDARO_EthernetPort_Resource(const VELDARO_EthernetPort_Resource&) = delete;
    VELDARO_EthernetPort_Resource& operator=(const VELDARO_EthernetPort_Resource&) = delete;

    // Fills the list: 0 done (also with nothing found), 1 error (logged),
    // 2 the array's table image is not valid.
    int createEthernetPort();

    // Fills one port's properties; 0, or 1 after an exception (logged).
    int setEthernetPort(VELDARO_EthernetPort* instance, std::uint16_t cm, std::uint16_t ca, std::uint16_t port,
                        const char* ipAddress, const char* storage, std::uint16_t status, const char* macAddress,
                        std::uint8_t factor, std::uint8_t transferRate, std::uint16_t realType,
                        std::uint16_t linkWord);

    Array<VELDARO_EthernetPort*>& instances() { return _instances; }

private:
    Array<VELDARO_EthernetPort*> _instances;
    String _storage;
};

}  // namespace cimple
