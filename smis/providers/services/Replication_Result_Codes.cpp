// Translation of copy-command results into method return values.

#include "Replication_Result_Codes.h"

namespace cimple {

std::uint32_t Replication_Result_Codes::convCommonErrorCode(unsigned char result)
{
    if (result >= 0x60 && result <= 0xC3)
        return 0x8984u + result;
    return FAILED;
}

std::uint32_t Replication_Result_Codes::convCreateErrorCode(unsigned char result)
{
    const std::uint32_t common = convCommonErrorCode(result);
    if (common != FAILED)
        return common;
    switch (result) {
    case 'A': return INVALID_PARAMETER;
    case 'B': return 0x8013;
    case 'D': return 0x8011;
    case 'E': return 0x8012;
    case 'V': return 0x8017;
    case 'W': return 0x8018;
    default: return FAILED;
    }
}

std::uint32_t Replication_Result_Codes::convModifyErrorCode(unsigned char result)
{
    const std::uint32_t common = convCommonErrorCode(result);
    if (common != FAILED)
        return common;
    switch (result) {
    case 'A': return INVALID_PARAMETER;
    case 'B': return 0x8013;
    case 'X': return 0x8019;
    case 'Y': return 0x801A;
    default: return FAILED;
    }
}

}  // namespace cimple
