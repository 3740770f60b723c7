// Answers the array's binary commands from the model: each handler decodes the
// request parameters (and data), and produces the command status, the reply
// parameters and the reply data in the array's layouts.
#pragma once

#include <cstdint>
#include <string>

#include "SimArray.hpp"
#include "WireBytes.hpp"

namespace arraysim {

struct CommandReply {
    std::uint8_t status = 0;   // command status (0 = accepted)
    Bytes params;              // reply parameters (at most 64 bytes)
    Bytes data;                // reply data (commands with bit 14)
    std::uint32_t value = 0;   // the 32-bit value of the final status packet
};

// Command status values of the array.
constexpr std::uint8_t kStatusRefused = 0x01;      // unknown element or bad request
constexpr std::uint8_t kStatusUnsupported = 0x10;  // command not known
constexpr std::uint8_t kStatusNoStatistics = 0x70; // no counters for the login

class CommandProcessor {
public:
    static CommandReply handle(const SimArray& array, std::uint16_t code, const Bytes& params,
                               const Bytes& dataIn);

    // Sizes and layouts of the replies (shared with the tests).
    static constexpr std::size_t kModelInfoSize = 32;
    static constexpr std::size_t kSupplementSize = 528;
    static constexpr std::size_t kCeInfoSize = 5400;
    static constexpr std::size_t kDeEntrySize = 1304;
    static constexpr std::size_t kLinkStatusSize = 64;
    static constexpr std::size_t kLoginSize = 320;
    static constexpr std::size_t kSessionSize = 208;
    static constexpr std::size_t kPoolInfoSize = 64;
    static constexpr std::size_t kBoxListSize = 169552;
    static constexpr std::size_t kAlarmSize = 32;

    static Bytes copySessionRecord(const Json& session);
    static Bytes loginRecord(const Json& login);
};

}  // namespace arraysim
