#pragma once
// How the copy-session table numbers a volume of a given LU kind: the MLU
// number for a kind-2 volume, the ordinary volume number for kinds 1, 3, 4,
// 9, 11 and 13; other kinds take part in no copy.

#include <cstdint>
#include <optional>

#include "VELDARO_RefTable.h"

namespace cimple::copy_volume {

constexpr std::uint8_t MLU_NUMBERED = 0;
constexpr std::uint8_t OLU_NUMBERED = 1;

inline std::optional<std::uint8_t> numberingOf(std::uint8_t luKind)
{
    switch (luKind) {
    case 2: return MLU_NUMBERED;
    case 1: case 3: case 4: case 9: case 11: case 13: return OLU_NUMBERED;
    default: return std::nullopt;
    }
}

// The session-table number of the volume of SLU entry `slu` in numbering n.
inline std::uint16_t numberOf(const VELDARO_RefTable& table, int slu, std::uint8_t numbering)
{
    return numbering == MLU_NUMBERED ? table.getSluMlun(slu) : table.getSluOlun(slu);
}

}  // namespace cimple::copy_volume
