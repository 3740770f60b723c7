#pragma once
// The affinity groups the host-port map binds: for each allocated host
// port of the map, in map order, each affinity table entry it names, once
// per port, with the port's controller module, adapter and port numbers.

#include <cstdint>
#include <set>

#include "CA_Port_Name.h"
#include "VELDARO_RefTable.h"

namespace cimple {

struct Affinity_Map_Walk {
    static constexpr int MAP_ENTRIES = 128;
    static constexpr int AFFINITY_SLOTS = 256;

    // body(affinity entry, port name); false as soon as a body answers false.
    template <class Body>
    static bool each(const VELDARO_RefTable& table, Body body)
    {
        for (int map = 0; map < MAP_ENTRIES; ++map) {
            const std::uint8_t moduleId = table.getMapCAModuleID(map);
            const std::uint8_t portNo = table.getMapCAPortNo(map);
            if (!table.checkPortAllocate(moduleId, portNo))
                continue;
            const CA_Port_Name port = CA_Port_Name::of(moduleId, portNo);
            std::set<std::uint16_t> seen;
            for (int s = 0; s < AFFINITY_SLOTS; ++s) {
                const std::uint16_t number = table.getMapAffinityTableNo(map, s);
                if (number == 0xFFFF || !seen.insert(number).second)
                    continue;
                if (!body(static_cast<int>(number), port))
                    return false;
            }
        }
        return true;
    }
};

}  // namespace cimple
