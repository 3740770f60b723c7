#pragma once
// The 28-byte header that starts every packet of the binary command channel.
// All fields are big-endian on the wire.
//
//   offset 0  u16 packet id        16 u32 body length
//          2  u16 reserved (0)     20 u16 command code
//          4  u32 comm. status     22 u8  module id
//          8  8 reserved bytes     23 u8  command status
//                                  24 u32 data length / status value

#include <cstdint>

namespace cimple {

struct SMIS_PacketHeader {
    static constexpr unsigned SIZE = 28;

    // Packet ids.
    static constexpr std::uint16_t COMMAND = 0xCE31;
    static constexpr std::uint16_t ACKNOWLEDGE = 0xCA35;
    static constexpr std::uint16_t DATA = 0xDA00;
    static constexpr std::uint16_t DATA_ACKNOWLEDGE = 0xDE00;
    static constexpr std::uint16_t FINAL_STATUS = 0xC639;

    std::uint16_t packetId = 0;
    std::uint32_t commStatus = 0;
    std::uint32_t bodyLength = 0;
    std::uint16_t cmdCode = 0;
    std::uint8_t moduleId = 0;
    std::uint8_t cmdStatus = 0;
    std::uint32_t value = 0;

    void encode(std::uint8_t* p) const;  // writes SIZE bytes (reserved bytes 0)
    void decode(const std::uint8_t* p);  // reads SIZE bytes
    static bool isKnownId(std::uint16_t id);
};

}  // namespace cimple
