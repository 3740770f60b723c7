// Usable ports of the port map and the identifier kind of their adapters.

#include "Masking_Port_Map.h"

namespace cimple {

std::uint8_t Masking_Port_Map::portNumberOf(const VELDARO_RefTable& table, int map)
{
    const std::uint8_t moduleId = table.getMapCAModuleID(map);
    const std::uint8_t written = table.getMapCAPortNo(map);
    // The ports of a second-half adapter (module id bit 3) are 2 and 3; the
    // map may write them 0 and 1. The lookups from a port take the entry
    // for either form, so the entry names the port as the port table does.
    if ((moduleId & SECOND_HALF) && written < 2 && !table.checkPortAllocate(moduleId, written)) {
        const auto published = static_cast<std::uint8_t>(written + 2);
        if (table.searchCAModuleIdAndCAPortNoFromMapTable(moduleId, published) == map)
            return published;
    }
    return written;
}

bool Masking_Port_Map::portOf(const VELDARO_RefTable& table, int map, Mode mode, Port& port)
{
    if (map < 0 || map >= MAP_ENTRIES)
        return false;
    const std::uint8_t moduleId = table.getMapCAModuleID(map);
    const std::uint8_t portNo = portNumberOf(table, map);
    if (!table.checkPortAllocate(moduleId, portNo))
        return false;
    const int caIndex = table.searchCAModuleIdFromCATable(moduleId);
    if (caIndex < 0)
        return false;
    const int portIndex = table.searchCAPortNoFromPortTable(caIndex, portNo);
    if (portIndex < 0)
        return false;
    const bool affinity = table.getCAPortSecurityMode(caIndex, portIndex) == AFFINITY_SECURITY;
    if (affinity != (mode == AFFINITY))
        return false;
    port.map = map;
    port.moduleId = moduleId;
    port.portNo = portNo;
    port.caIndex = caIndex;
    port.portIndex = portIndex;
    port.name = CA_Port_Name::of(moduleId, portNo);
    return true;
}

bool Masking_Port_Map::portAt(const VELDARO_RefTable& table, const CA_Port_Name& name, Mode mode, Port& port)
{
    if (!name.valid())
        return false;
    return portOf(table, table.searchCAModuleIdAndCAPortNoFromMapTable(name.moduleId(), name.portNumber()), mode,
                  port);
}

int Masking_Port_Map::boundCA(const VELDARO_RefTable& table, const CA_Port_Name& port, int affinity, int host)
{
    if (!port.valid() || affinity < 0 || affinity >= int(VELDARO_RefTable::getAffinityGrpPerModelMaxCount()))
        return -1;
    const int map = table.searchCAModuleIdAndCAPortNoFromMapTable(port.moduleId(), port.portNumber());
    if (map < 0 || !table.isSetToMapTable(map, affinity, host) || table.getAffinityDefinition(affinity) == 0)
        return -1;
    return table.searchCAModuleIdFromCATable(port.moduleId());
}

int Masking_Port_Map::idTypeOf(const VELDARO_RefTable& table, int caIndex)
{
    switch (table.getMaskCARealType(caIndex)) {
    case 0x0000:
    case 0x5000:
        return 2;
    case 0x2000:
    case 0x3000:
        return 5;
    case 0xA000:
        return 6;
    default:
        return 0;
    }
}

}  // namespace cimple
