#pragma once
// The state of one binary command exchange: the request the system sends,
// the final status the array answers, and the data buffer that the data-out
// and data-in phases share.

#include <cstdint>

namespace cimple {

struct CP_CMD_DATA {
    static constexpr unsigned PARAM_SIZE = 64;

    struct Request {
        std::int32_t paramLen;
        std::uint16_t cmdCode;
        std::uint8_t moduleId;
        std::uint8_t status;
        std::uint32_t dataLen;
        std::uint8_t param[PARAM_SIZE];
    };
    struct Reply {
        std::int32_t paramLen;
        std::uint16_t cmdCode;
        std::uint8_t moduleId;
        std::uint8_t cmdStatus;
        std::uint32_t value;  // the 32-bit value of the final status packet
        std::uint8_t param[PARAM_SIZE];
    };

    Request req;
    Reply rsp;
    void* dataBuf;
    std::int32_t dataLen;
    // True while dataBuf is a buffer this exchange allocated (received data).
    bool dataOwned;
};

}  // namespace cimple
