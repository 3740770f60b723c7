#pragma once
// The command descriptor of one binary array command: what the typed commands
// fill in before an exchange and what the exchange hands back.

#include <cstdint>

namespace cimple {

struct NTC_packet {
    static constexpr unsigned PARAM_SIZE = 64;
    static constexpr std::uint8_t MODULE_ID = 0xF9;
    // Fixed descriptor version bytes (kept in the descriptor, never sent).
    static constexpr std::uint8_t VERSION_MAJOR = 0x01;
    static constexpr std::uint8_t VERSION_MINOR = 0x00;

    // In: number of parameter bytes to send (0-64); out: number received.
    std::uint8_t paramLen;
    std::uint8_t version[2];
    // In: the data to send. Out: a malloc'ed buffer with the data the array
    // sent (the caller frees it), or, for a command that only sends data, the
    // caller's own buffer; NULL when no data moved.
    void* dataBuf;
    // In: the command code; out: the code the array echoed.
    std::uint16_t cmdCode;
    std::uint8_t moduleId;
    // Out: the array's status byte (0 = success).
    std::uint8_t cmdStatus;
    // In: bytes of data to send; out: bytes received (or sent when none came back).
    std::uint32_t dataLen;
    std::uint8_t param[PARAM_SIZE];
};

}  // namespace cimple
