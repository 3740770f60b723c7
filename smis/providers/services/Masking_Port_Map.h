#pragma once
// What the masking elements and their associations share in reading the
// port map: which map entries are usable ports (in affinity mode or in
// LUN-mapping mode), the host-affinity slots of one entry, and the kind of
// host identifier a port's channel adapter takes.
//
//   Masking_Port_Map::eachPort(table, Masking_Port_Map::AFFINITY, [&](const Masking_Port_Map::Port& port) {
//       return Masking_Port_Map::eachGroup(table, port.map, [&](int affinity) { ...; return true; });
//   });

#include <cstdint>
#include <set>

#include "CA_Port_Name.h"
#include "Table_Entries.h"
#include "VELDARO_RefTable.h"

namespace cimple {

class Masking_Port_Map {
public:
    static constexpr std::uint16_t NONE = 0xFFFF;
    static constexpr int MAP_ENTRIES = tableEntriesOf(CMT_Table::Map);
    static constexpr int SLOTS = 256;
    static constexpr std::uint8_t AFFINITY_SECURITY = 0x80;
    static constexpr std::uint8_t SECOND_HALF = 0x08;

    enum Mode { AFFINITY, LUN_MAPPING };

    // One usable map entry: its index, its table address, the CA and port
    // entries that hold it and the published numbers.
    struct Port {
        int map = -1;
        std::uint8_t moduleId = 0;
        std::uint8_t portNo = 0;
        int caIndex = -1;
        int portIndex = -1;
        CA_Port_Name name;
    };

    // The port number a map entry stands for, as the CA port table and the
    // published names hold it: a second-half adapter's port written in the
    // 0/1 form is port 2/3.
    static std::uint8_t portNumberOf(const VELDARO_RefTable& table, int map);

    // Map entry `map` as a port: allocated, present in the CA and port
    // tables and in the given mode (security mode 0x80 is affinity mode,
    // any other LUN mapping). False for any other entry.
    static bool portOf(const VELDARO_RefTable& table, int map, Mode mode, Port& port);

    // The map entry of a port given by its published numbers, when it is
    // usable in that mode.
    static bool portAt(const VELDARO_RefTable& table, const CA_Port_Name& name, Mode mode, Port& port);

    // The CA entry of a binding: the port's numbers are valid, its map
    // entry binds affinity table entry `affinity` (for that host, or for any
    // host with NONE), the group is defined and the CA is in the table.
    // -1 for anything else.
    static int boundCA(const VELDARO_RefTable& table, const CA_Port_Name& port, int affinity, int host);

    // The IDType of the host identifiers a port's CA takes: 2 (FC), 5
    // (iSCSI), 6 (SAS); 0 for a CA of another kind.
    static int idTypeOf(const VELDARO_RefTable& table, int caIndex);

    // The ports in default LUN-mapping view (IsLUNMappingController_Default)
    // of the present FC, SAS and iSCSI adapters, in CA table order;
    // body(caIndex, portIndex, name) false stops the walk with false.
    template <class Body>
    static bool eachDefaultPort(const VELDARO_RefTable& table, Body body)
    {
        for (std::uint32_t ca = 0; ca < VELDARO_RefTable::getCAMaxCount(); ++ca) {
            const int c = static_cast<int>(ca);
            if (table.getCAStatus(c) == 0 || idTypeOf(table, c) == 0)
                continue;
            for (std::uint32_t p = 0; p < VELDARO_RefTable::getCAPortMaxCount(); ++p) {
                const int i = static_cast<int>(p);
                if (!table.IsLUNMappingController_Default(c, i))
                    continue;
                if (!body(c, i, CA_Port_Name::of(table.getCAModuleId(c), table.getCAPortNo(c, i))))
                    return false;
            }
        }
        return true;
    }

    // Every map entry whose port is allocated (checkPortAllocate), in map
    // order, whatever its mode: body(map, name) false stops with false.
    template <class Body>
    static bool eachAllocated(const VELDARO_RefTable& table, Body body)
    {
        for (int map = 0; map < MAP_ENTRIES; ++map) {
            const std::uint8_t moduleId = table.getMapCAModuleID(map);
            const std::uint8_t portNo = portNumberOf(table, map);
            if (table.checkPortAllocate(moduleId, portNo) && !body(map, CA_Port_Name::of(moduleId, portNo)))
                return false;
        }
        return true;
    }

    // Every usable port of the mode in map order; body(port) false stops
    // the walk with false.
    template <class Body>
    static bool eachPort(const VELDARO_RefTable& table, Mode mode, Body body)
    {
        for (int map = 0; map < MAP_ENTRIES; ++map) {
            Port port;
            if (portOf(table, map, mode, port) && !body(static_cast<const Port&>(port)))
                return false;
        }
        return true;
    }

    // The affinity groups bound on one map entry, each once, in slot order;
    // body(affinityIndex) false stops with false.
    template <class Body>
    static bool eachGroup(const VELDARO_RefTable& table, int map, Body body)
    {
        std::set<std::uint16_t> seen;
        for (int slot = 0; slot < SLOTS; ++slot) {
            const std::uint16_t affinity = table.getMapAffinityTableNo(map, slot);
            if (affinity == NONE || !seen.insert(affinity).second)
                continue;
            if (!body(static_cast<int>(affinity)))
                return false;
        }
        return true;
    }

    // The slots of one map entry in use (a group and a host both named),
    // in slot order, with no duplicate removed: body(affinityIndex,
    // hostIndex) false stops with false.
    template <class Body>
    static bool eachBinding(const VELDARO_RefTable& table, int map, Body body)
    {
        for (int slot = 0; slot < SLOTS; ++slot) {
            const std::uint16_t affinity = table.getMapAffinityTableNo(map, slot);
            const std::uint16_t host = table.getMapHostWWNTableNo(map, slot);
            if (affinity == NONE || host == NONE)
                continue;
            if (!body(static_cast<int>(affinity), static_cast<int>(host)))
                return false;
        }
        return true;
    }
};

}  // namespace cimple
