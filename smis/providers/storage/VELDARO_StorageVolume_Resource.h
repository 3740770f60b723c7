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

class VELDARO_RefTable;

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

    // The RaidLevel createInstance gives the volume of an SLU entry, read
    // without building it; false when the entry gives no volume.
    static bool raidLevelOf(const VELDARO_RefTable& table, int sluIndex, String& level);
    // The RaidLevel text of a volume of one RAID group's level, or "JBOD"
    // for one concatenated from several sub-volumes (parts above 1).
    static String raidLevelText(std::uint8_t raidLevel, unsigned parts);

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
    // What an SLU entry's volume is made of: its OLU and RAID group entries
    // (-1 where it has none), its sub-volume count and its RAID level.
    struct Shape {
        std::uint8_t luType = 0;
        int olu = -1;
        int rlu = -1;
        unsigned parts = 1;
        std::uint8_t level = 0;
    };
    // False when the entry (in range) gives no volume: free, not published,
    // or without the OLU or RAID group entry it names.
    static bool shapeOf(const VELDARO_RefTable& table, int sluIndex, Shape& shape);

    String _storage;
};

}  // namespace cimple
