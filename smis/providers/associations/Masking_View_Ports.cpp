#include "Masking_View_Ports.h"


namespace cimple {

namespace {

using Port_Map = Masking_Port_Map;

const Masking_View_Ports::Ports NONE;

}  // namespace

Masking_View_Ports::Masking_View_Ports(const VELDARO_RefTable& table)
    : Table_Image_Index(table)
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

const Masking_View_Ports::Ports& Masking_View_Ports::find(const Map& m, int key)
{
    auto it = m.find(key);
    return it == m.end() ? NONE : it->second;
}

}  // namespace cimple
