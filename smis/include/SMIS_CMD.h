#pragma once
// The public descriptor of SMIS_CommandCom::sendCommand: one command in, its
// echoed code, status, parameters and received data out.

#include <cstdint>

namespace cimple {

struct SMIS_CMD {
    static constexpr unsigned PARAM_SIZE = 64;

    std::uint16_t cmdCode;   // in: the command; out: the echoed code
    std::uint8_t status;     // out: the array's command status
    std::uint32_t dataLen;   // in: bytes to send; out: bytes received (or sent)
    std::uint32_t paramLen;  // in: parameter bytes to send (0-64); out: received
    std::uint8_t param[PARAM_SIZE];
    // Out: the malloc'ed data the array sent (caller frees), or NULL.
    unsigned char* dataBuf;
};

}  // namespace cimple
