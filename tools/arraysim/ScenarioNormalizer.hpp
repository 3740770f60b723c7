// Fills every value of an array description that follows from the others:
// item identifiers from positions, module ids, physical disk numbers, disk
// usage from RAID membership, slices of plain volumes, counts and sizes.
// Values written in the scenario are kept as they are.
#pragma once

#include "SimArray.hpp"

namespace arraysim {

class ScenarioNormalizer {
public:
    // Normalises one array description in place; `position` is the array's
    // index in its scenario (used for distinct default identities).
    static void normalize(Json& array, std::size_t position);

    // Physical disk number and drive enclosure id encodings of the array.
    static std::uint32_t deIdOf(std::uint32_t deIndex) { return ((deIndex >> 2) << 3) | (deIndex & 3); }
    static std::uint32_t plunOf(std::uint32_t deIndex, std::uint32_t slot) {
        return ((deIndex >> 2) << 11) | ((deIndex & 3) << 8) | slot;
    }
};

}  // namespace arraysim
