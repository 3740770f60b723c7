#pragma once
// The masking views that map each volume: for an OLU number (other than the
// empty slot's 0xFFFF), the defined affinity groups and the defined
// LUN-mapping entries whose LUN slots name it, in table order, each with the
// lowest LUN that names it.
//
// Built once per table image (and its bounds) from the view's own getters
// and shared by every reader of that image, so the controllers of one
// volume cost in proportion to the views that map it instead of a walk
// over every LUN slot of every group.

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "Table_Image_Index.h"
#include "VELDARO_RefTable.h"

namespace cimple {

class Masking_Volume_Views : public Table_Image_Index<Masking_Volume_Views> {
public:
    // One view of a volume: the affinity table index or the LUN-mapping
    // entry, and the lowest LUN whose slot names the volume.
    struct View {
        int entry;
        int lun;
    };
    using Views = std::vector<View>;

    explicit Masking_Volume_Views(const VELDARO_RefTable& table);

    // The affinity groups (getAffinityDefinition not 0) whose slots name
    // the OLU number, in affinity table order.
    const Views& affinityGroups(std::uint16_t olu) const { return find(_groups, olu); }
    // The LUN-mapping entries (getLUNMapDefinition not 0) whose slots name
    // it, in entry order.
    const Views& lunMappings(std::uint16_t olu) const { return find(_mappings, olu); }

private:
    using Map = std::unordered_map<std::uint16_t, Views>;
    static const Views& find(const Map& m, std::uint16_t olu);

    Map _groups, _mappings;
};

}  // namespace cimple
