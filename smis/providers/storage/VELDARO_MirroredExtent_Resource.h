#pragma once
// Builds VELDARO_MirroredExtent instances: one per mirrored disk set (DLU)
// of every RAID1+0 group.

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_MirroredExtent.h"

namespace cimple {

class VELDARO_MirroredExtent_Resource {
public:
    static constexpr std::uint8_t RAID10 = 12;
    // Dlun slots of a RAID group and physical disk slots of a DLU.
    static constexpr unsigned MEMBER_SETS = 16;
    static constexpr unsigned DISK_SLOTS = 16;

    explicit VELDARO_MirroredExtent_Resource(const String& storage) : _storage(storage) {}

    // 0 with an instance, 0 without one (pair skipped), 1 error.
    int createInstance(VELDARO_MirroredExtent*& instance, int rluIndex, int dluIndex);

    // Fills the instance: 0, or 1 (logged) on failure. The DLU number is
    // carried by no property.
    int setMirroredExtent(VELDARO_MirroredExtent* instance, std::uint16_t rlun, std::uint16_t dlun,
                          std::uint8_t level, int first, String storage, Array<std::uint16_t> disks,
                          std::uint64_t blocks, int second, int stripeLength, std::uint8_t memberDiskNumber,
                          std::uint8_t rluMode);

    // Key "MRD0x%04x_0x%04x" of the set's disks: the first disk number, and
    // the second one when the key has it (0xFFFF when not).
    static bool divide_DeviceID(const char* key, std::uint16_t* firstDisk, std::uint16_t* secondDisk);

private:
    String _storage;
};

}  // namespace cimple
