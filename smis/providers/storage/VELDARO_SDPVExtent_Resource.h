#pragma once
// Builds VELDARO_SDPVExtent instances: one per snap data pool volume slice,
// an SLU entry of LU type 7.

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_SDPVExtent.h"

namespace cimple {

class VELDARO_SDPVExtent_Resource {
public:
    static constexpr std::uint8_t LU_SNAP_DATA_POOL = 7;

    explicit VELDARO_SDPVExtent_Resource(const String& storage) : _storage(storage) {}

    // 0 with an instance, 0 without one (entry skipped), 1 error.
    int createInstance(VELDARO_SDPVExtent*& instance, int sluIndex);

    // Fills the instance: 0, or 1 (logged) on failure.
    int setSDPVExtent(VELDARO_SDPVExtent* instance, std::uint8_t raidLevel, std::uint16_t rlun, std::uint16_t olun,
                      std::uint8_t luType, int first, int second, std::uint64_t blocks, std::uint8_t poolNumber,
                      String storage);

    // Key "SDP%05d" of the OLU number.
    static bool divide_DeviceID(const char* key, std::uint16_t* olun);

private:
    String _storage;
};

}  // namespace cimple
