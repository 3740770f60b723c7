#pragma once
// The management information record of a configuration table image
// (configuration date, revision word, validation information count and the
// fields beside them), copied out of the image by
// SMIS_CMTAccess::GetManagementInfo.

#include <array>
#include <cstdint>

#include "CMT_Layout.h"

struct CMM_CMT_MGMNT_ELEM {
    std::array<std::uint8_t, CMT_MgmtInfo::SIZE> bytes{};

    CMT_MgmtInfo view() const { return CMT_MgmtInfo(bytes.data()); }
};
