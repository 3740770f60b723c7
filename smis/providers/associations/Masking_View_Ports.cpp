#include "Masking_View_Ports.h"

#include "SMIS_ImageIndexCache.h"

namespace cimple {

namespace {

using Port_Map = Masking_Port_Map;

SMIS_ImageIndexCache<Masking_View_Ports>& cache()
{
    static auto* c = new SMIS_ImageIndexCache<Masking_View_Ports>;  // outlives every static reader
    return *c;
}

const Masking_View_Ports::Ports NONE;

}  // namespace

std::shared_ptr<const Masking_View_Ports> Masking_View_Ports::of(const VELDARO_RefTable& table)
{
    if (!table.sharedImage())
        return nullptr;
    return cache().get([&](const Masking_View_Ports& x) { return x.isFor(table); },
                       [&] { return std::make_shared<const Masking_View_Ports>(table); });
}

std::size_t Masking_View_Ports::cachedCount()
{
    return cache().liveCount();
}

Masking_View_Ports::Masking_View_Ports(const VELDARO_RefTable& table)
    : _image(table.sharedImage()), _block(table.globalBlock())
{
    Port_Map::eachPort(table, Port_Map::AFFINITY, [&](const Port_Map::Port& port) {
        // The groups the entry's slots name, as the binding test reads them.
        return Port_Map::eachGroup(table, port.map, [&](int affinity) {
            if (table.isSetToMapTable(port.map, affinity, Port_Map::NONE))
                _groups[affinity].push_back(port);
            return true;
        });
    });
    Port_Map::eachPort(table, Port_Map::LUN_MAPPING, [&](const Port_Map::Port& port) {
        _mappings[table.getMapLUNMappingNo(port.map)].push_back(port);
        return true;
    });
}

bool Masking_View_Ports::isFor(const VELDARO_RefTable& table) const
{
    const auto& image = table.sharedImage();
    return image && !_image.owner_before(image) && !image.owner_before(_image) && _block == table.globalBlock();
}

const Masking_View_Ports::Ports& Masking_View_Ports::find(const Map& m, int key)
{
    auto it = m.find(key);
    return it == m.end() ? NONE : it->second;
}

}  // namespace cimple
