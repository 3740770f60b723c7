#pragma once
// One iSCSI host entry of SMIS_CLI::createiSCSIHostList and deleteiSCSIHostList.

#include <cstddef>
#include <cstdint>

namespace cimple {

struct CMM_ISCSI_HOST_INFO {
    static constexpr std::size_t ISCSI_NAME_SIZE = 224;

    uint16_t hostNumber;
    uint16_t responseNumber;           // host response table number
    uint8_t reserved1[4];              // zero
    char iscsiName[ISCSI_NAME_SIZE];   // not terminated when full
    uint8_t reserved2[824];            // zero
    char name[16];                     // nickname; none when name[0] is 0
    uint8_t reserved3[128];            // zero
};

static_assert(sizeof(CMM_ISCSI_HOST_INFO) == 1200);
static_assert(offsetof(CMM_ISCSI_HOST_INFO, iscsiName) == 8);
static_assert(offsetof(CMM_ISCSI_HOST_INFO, name) == 1056);

}  // namespace cimple
