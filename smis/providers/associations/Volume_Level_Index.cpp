#include "Volume_Level_Index.h"

#include "SMIS_ImageIndexCache.h"
#include "VELDARO_StorageVolume_Resource.h"
#include "Volume_Walk.h"

namespace cimple {

namespace {

constexpr std::uint8_t LU_THIN = 9;
constexpr std::uint8_t LU_TIERING = 11;

SMIS_ImageIndexCache<Volume_Level_Index>& cache()
{
    static auto* c = new SMIS_ImageIndexCache<Volume_Level_Index>;  // outlives every static reader
    return *c;
}

const Volume_Level_Index::Entries NONE;

}  // namespace

std::shared_ptr<const Volume_Level_Index> Volume_Level_Index::of(const VELDARO_RefTable& table)
{
    if (!table.sharedImage())
        return nullptr;
    return cache().get([&](const Volume_Level_Index& x) { return x.isFor(table); },
                       [&] { return std::make_shared<const Volume_Level_Index>(table); });
}

std::size_t Volume_Level_Index::cachedCount()
{
    return cache().liveCount();
}

Volume_Level_Index::Volume_Level_Index(const VELDARO_RefTable& table)
    : _image(table.sharedImage()), _block(table.globalBlock())
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

bool Volume_Level_Index::isFor(const VELDARO_RefTable& table) const
{
    const auto& image = table.sharedImage();
    return image && !_image.owner_before(image) && !image.owner_before(_image) && _block == table.globalBlock();
}

const Volume_Level_Index::Entries& Volume_Level_Index::volumes(const std::string& level, bool thin) const
{
    const Map& kind = thin ? _thin : _plain;
    auto it = kind.find(level);
    return it == kind.end() ? NONE : it->second;
}

}  // namespace cimple
