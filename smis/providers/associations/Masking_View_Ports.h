#pragma once
// The usable ports that present each masking view: for an affinity group,
// the affinity-mode ports whose map entry binds it; for a LUN-mapping
// number, the LUN-mapping-mode ports whose map entry uses it. Both in map
// order, each port once.
//
// Built once per table image (and its bounds) with the port map's own
// rules and shared by every reader of that image, so the controllers of
// one view cost in proportion to its ports instead of a walk over the
// whole port map.

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "Masking_Port_Map.h"
#include "Table_Image_Index.h"
#include "VELDARO_RefTable.h"

namespace cimple {

class Masking_View_Ports : public Table_Image_Index<Masking_View_Ports> {
public:
    using Ports = std::vector<Masking_Port_Map::Port>;

    explicit Masking_View_Ports(const VELDARO_RefTable& table);

    // The affinity ports whose map entry binds the affinity table index
    // (Masking_Port_Map::eachPort with isSetToMapTable for any host).
    const Ports& ofGroup(int affinity) const { return find(_groups, affinity); }
    // The LUN-mapping ports whose map entry's LUNMappingNo is the number.
    const Ports& ofMapping(std::uint16_t number) const { return find(_mappings, number); }

private:
    using Map = std::unordered_map<int, Ports>;
    static const Ports& find(const Map& m, int key);

    Map _groups, _mappings;
};

}  // namespace cimple
