#pragma once
// Builds VELDARO_RemoteStorageVolume: a volume of another array that a
// remote mirror (Xmirrex session) of a configured array names. A remote
// volume is identified by the box ID of its array, its number and its kind
// (1 OLU-numbered, 2 MLU-numbered).

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_RemoteStorageVolume.h"

namespace cimple {

class VELDARO_RemoteStorageVolume_Resource {
public:
    static constexpr std::uint8_t KIND_OLU = 1;
    static constexpr std::uint8_t KIND_MLU = 2;
    static constexpr size_t BOX_ID_LENGTH = 40;

    // Usage values.
    static constexpr std::uint16_t USAGE_SOURCE = 7;
    static constexpr std::uint16_t USAGE_TARGET = 9;
    static constexpr std::uint16_t USAGE_BOTH = 11;

    explicit VELDARO_RemoteStorageVolume_Resource(const String& storage) : _storage(storage) {}

    // The remote volume of that box as the Xmirrex sessions of this array
    // name it: 0 with an instance, 0 without one (a box ID that is not 40
    // characters long, no session names the volume), 1 on error.
    int createInstance(VELDARO_RemoteStorageVolume*& instance, std::uint16_t number, std::uint8_t kind,
                       const String& boxId);

    // Fills every property of a remote volume; 0.
    int setRemoteStorageVolume(VELDARO_RemoteStorageVolume* instance, std::uint16_t number, std::uint8_t kind,
                               std::uint16_t usage, std::uint64_t blocks, const String& boxId);

    // The keys of that remote volume, every other property null (the
    // instances of change indications): 0, or 1 on failure.
    int setKeyProperties(VELDARO_RemoteStorageVolume* instance, std::uint16_t number, std::uint8_t kind,
                         const String& boxId);

    // "VOL%05d" gives kind 1, "MLU%05d" kind 2; false for anything else.
    static bool divide_DeviceID(const char* deviceId, std::uint8_t* kind, std::uint16_t* number);

private:
    String _storage;
};

}  // namespace cimple
