#pragma once
// Builds VELDARO_StorageVolume instances: one per published volume, reached
// through one of its sub-volume (SLU) entries. Also used by association
// providers and the indication delivery, which fill instances from their own
// values with setStorageVolume or build bare volume references with
// setKeyProperties.

#include <cimple/cimple.h>

#include <cstdint>

#include "VELDARO_StorageVolume.h"

namespace cimple {

class VELDARO_StorageVolume_Resource {
public:
    // Status low byte of an unused volume table entry.
    static constexpr unsigned FREE_ENTRY = 6;

    explicit VELDARO_StorageVolume_Resource(const String& storage) : _storage(storage) {}

    // True for the LU types published as volumes: 1, 2, 3, 4, 8, 9, 11, 13.
    static bool isPublishedLuType(std::uint8_t luType);
    // True for the LU types that are volumes of the OLU table: 1, 3, 4, 9, 11, 13.
    static bool isOluType(std::uint8_t luType);

    // 0 with an instance, 0 without one (entry skipped), 1 error.
    int createInstance(VELDARO_StorageVolume*& instance, int sluIndex);

    // Fills every published property from the given values: 0, or 1 (logged)
    // when the Name comes out empty or filling fails. parts above 1 is a
    // volume concatenated from several sub-volumes. nodeWWN: 8 bytes or NULL;
    // name: the volume's name or NULL.
    int setStorageVolume(VELDARO_StorageVolume* instance, std::uint8_t raidLevel, std::uint16_t number,
                         std::uint8_t luType, int operationalStatus, int extentStatus, std::uint64_t blocks,
                         unsigned parts, String storage, std::uint16_t threshold, const std::uint8_t* nodeWWN,
                         const char* name);

    // Only the four key properties present (every other one null): for
    // references to a volume. 0, or non-zero (logged) on failure.
    int setKeyProperties(VELDARO_StorageVolume* instance, std::uint16_t number, std::uint8_t luType,
                         String storage);

    // DeviceID: a type prefix (VOL, MLU, MVV, SDV, TPPV, TPPC, LXV, WSV) and
    // the volume number as "%05d".
    static bool divide_DeviceID(const char* key, std::uint8_t* luType, std::uint16_t* number);

private:
    String _storage;
};

}  // namespace cimple
