#pragma once
// The volumes of each RAID level and kind of pool: for a RaidLevel text and
// whether the volumes are thin (LU types 9 and 11, the volumes of thin and
// tiering pools), the SLU entries through which Volume_Walk reaches the
// volumes createInstance gives that level, in SLU order.
//
// Built once per table image (and its bounds) with the volume builder's own
// level getter and shared by every reader of that image, so the volumes of
// one storage setting cost in proportion to their number instead of
// building every volume of the array to learn its level.

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "Table_Image_Index.h"
#include "VELDARO_RefTable.h"

namespace cimple {

class Volume_Level_Index : public Table_Image_Index<Volume_Level_Index> {
public:
    using Entries = std::vector<int>;

    explicit Volume_Level_Index(const VELDARO_RefTable& table);

    // The SLU entries of the volumes of that level and kind, in SLU order.
    const Entries& volumes(const std::string& level, bool thin) const;

private:
    using Map = std::unordered_map<std::string, Entries>;

    Map _plain, _thin;
};

}  // namespace cimple
