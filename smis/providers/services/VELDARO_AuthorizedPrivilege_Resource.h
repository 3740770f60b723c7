#pragma once
// Builds VELDARO_AuthorizedPrivilege: one privilege per host bound to an
// affinity group on a channel-adapter port in the map table, keyed by
// InstanceID "VELDARO:AP%04d_" + host identifier [+ "_" + host address] +
// "CM%02dCA%02dP%02d_" + storage address.

#include <cimple/cimple.h>

#include <cstddef>
#include <cstdint>

#include "VELDARO_AuthorizedPrivilege.h"

namespace cimple {

class VELDARO_AuthorizedPrivilege_Resource {
public:
    // Buffer sizes for divide_InstanceID, terminator included.
    static constexpr std::size_t IDENTIFIER_SIZE = 225;
    static constexpr std::size_t ADDRESS_SIZE = 16;

    explicit VELDARO_AuthorizedPrivilege_Resource(const String& storage) : _storage(storage) {}

    // The privilege of host hostIndex (in the host table of the port's CA
    // kind) to affinity table entry affinityIndex on the port: 0 with or
    // without an instance (the binding is not in the map, or the numbers or
    // tables do not qualify), 1 error (logged).
    int createInstance(VELDARO_AuthorizedPrivilege*& instance, int affinityIndex, std::uint16_t cm,
                       std::uint16_t ca, std::uint16_t port, int hostIndex);

    // Fills every property. address: the host address text of an iSCSI
    // host, "" for none; null gives the address part "_0.0.0.0".
    void setAuthorizedPrivilege(VELDARO_AuthorizedPrivilege* instance, std::uint8_t moduleId, std::uint8_t portNo,
                                std::uint16_t group, const char* hostId, const char* address);

    // A key-only instance; 0, or 1 when it cannot be made.
    int setKeyProperties(VELDARO_AuthorizedPrivilege* instance, std::uint8_t moduleId, std::uint8_t portNo,
                         std::uint16_t group, const char* hostId, const char* address);

    // Splits an InstanceID into group, CM, CA and port numbers, the host
    // identifier (IDENTIFIER_SIZE bytes) and the host address (ADDRESS_SIZE
    // bytes, empty when the key has none; address may be null). True when
    // the text is well formed.
    static bool divide_InstanceID(const char* instanceId, std::uint16_t* group, std::uint16_t* cm,
                                  std::uint16_t* ca, std::uint16_t* port, char* identifier, char* address);

private:
    String _storage;
};

}  // namespace cimple
