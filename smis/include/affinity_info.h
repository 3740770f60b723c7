#pragma once
// One host-to-affinity-group pair of the host affinity commands.

#include <cstddef>
#include <cstdint>

namespace cimple {

struct affinity_info {
    uint16_t hostNumber;
    uint16_t agNumber;     // affinity group number
    uint8_t reserved[4];   // zero
};

static_assert(sizeof(affinity_info) == 8);
static_assert(offsetof(affinity_info, agNumber) == 2);

}  // namespace cimple
