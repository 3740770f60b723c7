#pragma once
// One LUN-to-volume pair of the affinity group and LUN mapping commands.

#include <cstddef>
#include <cstdint>

namespace cimple {

struct CMM_WT_LUN_MAP_LUN_OLU {
    uint16_t lun;
    uint16_t olun;  // volume number
};

static_assert(sizeof(CMM_WT_LUN_MAP_LUN_OLU) == 4);
static_assert(offsetof(CMM_WT_LUN_MAP_LUN_OLU, olun) == 2);

}  // namespace cimple
