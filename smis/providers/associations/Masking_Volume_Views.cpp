#include "Masking_Volume_Views.h"

#include "Masking_Port_Map.h"
#include "Masking_View_Walk.h"

namespace cimple {

namespace {

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

Masking_Volume_Views::Masking_Volume_Views(const VELDARO_RefTable& table)
    : Table_Image_Index(table)
{
    for (int affinity = 0; affinity < int(VELDARO_RefTable::getAffinityGrpPerModelMaxCount()); ++affinity)
        if (table.getAffinityDefinition(affinity) != 0)
            addView(_groups, affinity, [&](int lun) { return table.getAffinityOlun(affinity, lun); });
    for (int entry = 0; entry < Masking_View_Walk::LUN_MAP_ENTRIES; ++entry)
        if (table.getLUNMapDefinition(entry) != 0)
            addView(_mappings, entry, [&](int lun) { return table.getLUNMapOlun(entry, lun); });
}

const Masking_Volume_Views::Views& Masking_Volume_Views::find(const Map& m, std::uint16_t olu)
{
    auto it = m.find(olu);
    return it == m.end() ? NONE : it->second;
}

}  // namespace cimple
