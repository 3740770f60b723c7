#pragma once
// Builds VELDARO_AffinityGroupController: one protocol controller per
// affinity group bound on a channel-adapter port in the map table. The
// controller configuration service parses these keys (divide_DeviceID) and
// builds its result references with createInstance.

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_AffinityGroupController.h"

namespace cimple {

class VELDARO_AffinityGroupController_Resource {
public:
    explicit VELDARO_AffinityGroupController_Resource(const String& storage) : _storage(storage) {}

    // 0 with or without an instance (the group is not bound on that port,
    // or the numbers or tables do not qualify), 1 error (logged).
    int createInstance(VELDARO_AffinityGroupController*& instance, int affinityIndex, std::uint16_t cm,
                       std::uint16_t ca, std::uint16_t port);

    // Fills every property; alias null for an FC/SAS port.
    void setAffinityGroupController(VELDARO_AffinityGroupController* instance, std::uint8_t moduleId,
                                    std::uint8_t portNo, std::uint16_t group, const char* alias,
                                    const char* groupName, std::uint16_t nameFormat, const String& storage);

    // A key-only instance; 0, or 1 when it cannot be made.
    int setKeyProperties(VELDARO_AffinityGroupController* instance, std::uint8_t moduleId, std::uint8_t portNo,
                         std::uint16_t group);

    // "AFG%04d_CM%02dCA%02dP%02d": true when all four numbers are read.
    static bool divide_DeviceID(const char* key, std::uint16_t* group, std::uint16_t* cm, std::uint16_t* ca,
                                std::uint16_t* port);

private:
    String _storage;
};

}  // namespace cimple
