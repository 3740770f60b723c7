// Translation of copy-command results into method return values.

#include "Replication_Result_Codes.h"

namespace cimple {

namespace {

// The letter codes: the value for a start command, and for a control
// command.
struct Letter_Code {
    unsigned char result;
    std::uint32_t create;
    std::uint32_t modify;
};
constexpr std::uint32_t F = Replication_Result_Codes::FAILED;
constexpr Letter_Code LETTER_CODES[] = {
    {'A', 5, 5},          {'B', 0x8013, 0x8013}, {'D', 0x8011, F}, {'E', 0x8012, F},
    {'V', 0x8017, F},     {'W', 0x8018, F},      {'X', F, 0x8019}, {'Y', F, 0x801A},
};

std::uint32_t translate(unsigned char result, bool create)
{
    const std::uint32_t common = Replication_Result_Codes::convCommonErrorCode(result);
    if (common != F)
        return common;
    for (const Letter_Code& c : LETTER_CODES)
        if (c.result == result)
            return create ? c.create : c.modify;
    return F;
}

}  // namespace

std::uint32_t Replication_Result_Codes::convCommonErrorCode(unsigned char result)
{
    if (result >= 0x60 && result <= 0xC3)
        return 0x8984u + result;
    return FAILED;
}

std::uint32_t Replication_Result_Codes::convCreateErrorCode(unsigned char result)
{
    return translate(result, true);
}

std::uint32_t Replication_Result_Codes::convModifyErrorCode(unsigned char result)
{
    return translate(result, false);
}

}  // namespace cimple
