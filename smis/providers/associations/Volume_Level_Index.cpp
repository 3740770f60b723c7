#include "Volume_Level_Index.h"

#include "VELDARO_StorageVolume_Resource.h"
#include "Volume_Walk.h"

namespace cimple {

namespace {

constexpr std::uint8_t LU_THIN = 9;
constexpr std::uint8_t LU_TIERING = 11;

const Volume_Level_Index::Entries NONE;

}  // namespace

Volume_Level_Index::Volume_Level_Index(const VELDARO_RefTable& table)
    : Table_Image_Index(table)
{
    Volume_Walk::each(table, [&](int slu) {
        String level;
        if (VELDARO_StorageVolume_Resource::raidLevelOf(table, slu, level)) {
            const std::uint8_t luType = table.getLuType(slu);
            Map& kind = luType == LU_THIN || luType == LU_TIERING ? _thin : _plain;
            kind[level.c_str()].push_back(slu);
        }
        return true;
    });
}

const Volume_Level_Index::Entries& Volume_Level_Index::volumes(const std::string& level, bool thin) const
{
    const Map& kind = thin ? _thin : _plain;
    auto it = kind.find(level);
    return it == kind.end() ? NONE : it->second;
}

}  // namespace cimple
