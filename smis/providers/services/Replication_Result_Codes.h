#pragma once
// Method return values of the array's copy-command results (0 success).
// Bytes 0x60 to 0xC3 map to 0x8984 + byte; the letter codes of the start
// commands and of the control commands (suspend, resume, change, stop) have
// their own values; anything else is 4.

#include <cstdint>

namespace cimple {

struct Replication_Result_Codes {
    static constexpr std::uint32_t FAILED = 4;
    static constexpr std::uint32_t INVALID_PARAMETER = 5;

    // 0x8984 + byte for 0x60 to 0xC3, else 4.
    static std::uint32_t convCommonErrorCode(unsigned char result);
    // A start command's result.
    static std::uint32_t convCreateErrorCode(unsigned char result);
    // A suspend, resume, change or stop command's result.
    static std::uint32_t convModifyErrorCode(unsigned char result);
};

}  // namespace cimple
