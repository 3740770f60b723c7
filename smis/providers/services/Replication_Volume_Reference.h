#pragma once
// Turns the volume references of the replication methods into the array
// volume numbers that the copy commands take, refusing what cannot be
// copied: results 0, 5 (no reference, an unreadable key, a reference that
// names no volume of the array it names), 4 (a volume that cannot be built)
// or the code of an LU kind that takes part in no copy (0x8022 MLU-numbered,
// 0x8025 thin, 0x8027 any other).

#include <cimple/cimple.h>

#include <cstdint>

namespace cimple {

class Instance;

struct Replication_Volume_Reference {
    static constexpr std::uint16_t NO_VOLUME = 0xFFFF;

    struct Volume {
        std::uint8_t luKind = 0;
        std::uint16_t number = NO_VOLUME;
        String boxId;  // remote volumes: the box ID of their array
    };

    // A VELDARO_StorageVolume reference. With remote set, a DeviceID of at
    // most 7 characters is read in its short form: a prefix (VOL, MLU, MVV,
    // SDV, SDP) and four hexadecimal digits.
    static std::uint32_t divideVolumeReference(const Instance* reference, bool remote, Volume& out);

    // A VELDARO_RemoteStorageVolume reference; the box ID is the first 40
    // characters of its SystemName.
    static std::uint32_t divideRemoteVolumeReference(const Instance* reference, Volume& out);

    // The volume number of a source or target of a new copy on the array
    // storage. Without an access point the reference must be a volume of
    // that array; with one it must be a volume of the configured array whose
    // box ID is the access point's Name. Either way the volume must exist
    // there with exactly the reference's keys.
    static std::uint32_t getElementLUN(const String& storage, const Instance* reference, const Instance* accessPoint,
                                       std::uint16_t& number);
};

}  // namespace cimple
