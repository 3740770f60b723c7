#pragma once
// Builds VELDARO_DiskDrive: every installed disk of the disk table as a
// logical device, DeviceID DD0x<disk number> in the array's system.

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_DiskDrive.h"

namespace cimple {

class VELDARO_DiskDrive_Resource {
public:
    explicit VELDARO_DiskDrive_Resource(const String& storage) : _storage(storage) {}

    // 0 with an instance, 0 without one (no disk in the entry), 1 error (logged).
    int createInstance(VELDARO_DiskDrive*& instance, int diskIndex);

    // DeviceID "DD0x%04x": the physical disk number.
    static bool divide_DeviceID(const char* key, std::uint16_t* diskNumber);

private:
    String _storage;
};

}  // namespace cimple
