#include "Masking_Volume_Views.h"

#include "Masking_Port_Map.h"
#include "Masking_View_Walk.h"
#include "SMIS_ImageIndexCache.h"

namespace cimple {

namespace {

SMIS_ImageIndexCache<Masking_Volume_Views>& cache()
{
    static auto* c = new SMIS_ImageIndexCache<Masking_Volume_Views>;  // outlives every static reader
    return *c;
}

const Masking_Volume_Views::Views NONE;

// Each OLU number the slots olun(l) name, once per view under its lowest
// LUN, is listed with the view.
template <class Olun>
void addView(std::unordered_map<std::uint16_t, Masking_Volume_Views::Views>& lists, int entry, Olun olun)
{
    for (int lun = 0; lun < Masking_View_Walk::LUNS; ++lun) {
        const std::uint16_t olu = olun(lun);
        if (olu == Masking_Port_Map::NONE)
            continue;
        Masking_Volume_Views::Views& views = lists[olu];
        if (views.empty() || views.back().entry != entry)
            views.push_back({entry, lun});
    }
}

}  // namespace

std::shared_ptr<const Masking_Volume_Views> Masking_Volume_Views::of(const VELDARO_RefTable& table)
{
    if (!table.sharedImage())
        return nullptr;
    return cache().get([&](const Masking_Volume_Views& x) { return x.isFor(table); },
                       [&] { return std::make_shared<const Masking_Volume_Views>(table); });
}

std::size_t Masking_Volume_Views::cachedCount()
{
    return cache().liveCount();
}

Masking_Volume_Views::Masking_Volume_Views(const VELDARO_RefTable& table)
    : _image(table.sharedImage()), _block(table.globalBlock())
{
    for (int affinity = 0; affinity < int(VELDARO_RefTable::getAffinityGrpPerModelMaxCount()); ++affinity)
        if (table.getAffinityDefinition(affinity) != 0)
            addView(_groups, affinity, [&](int lun) { return table.getAffinityOlun(affinity, lun); });
    for (int entry = 0; entry < Masking_View_Walk::LUN_MAP_ENTRIES; ++entry)
        if (table.getLUNMapDefinition(entry) != 0)
            addView(_mappings, entry, [&](int lun) { return table.getLUNMapOlun(entry, lun); });
}

bool Masking_Volume_Views::isFor(const VELDARO_RefTable& table) const
{
    const auto& image = table.sharedImage();
    return image && !_image.owner_before(image) && !image.owner_before(_image) && _block == table.globalBlock();
}

const Masking_Volume_Views::Views& Masking_Volume_Views::find(const Map& m, std::uint16_t olu)
{
    auto it = m.find(olu);
    return it == m.end() ? NONE : it->second;
}

}  // namespace cimple
