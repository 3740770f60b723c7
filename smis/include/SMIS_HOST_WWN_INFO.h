#pragma once
// One FC or SAS host entry of SMIS_CLI::createHostWWNList and deleteHostWWNList.

#include <cstddef>
#include <cstdint>

namespace cimple {

struct SMIS_HOST_WWN_INFO {
    uint16_t hostNumber;
    uint16_t responseNumber;  // host response table number
    uint8_t reserved[4];      // zero
    char id[16];              // WWN in hexadecimal or SAS address; not terminated when full
    char name[16];            // nickname; none when name[0] is 0
};

static_assert(sizeof(SMIS_HOST_WWN_INFO) == 40);
static_assert(offsetof(SMIS_HOST_WWN_INFO, id) == 8);
static_assert(offsetof(SMIS_HOST_WWN_INFO, name) == 24);

}  // namespace cimple
