// The 28-byte header of every packet of the binary command channel. All its
// multi-byte fields are big-endian.
#pragma once

#include <array>
#include <cstdint>

#include "WireBytes.hpp"

namespace arraysim {

enum PacketId : std::uint16_t {
    kCommandPacket = 0xCE31,
    kAckPacket = 0xCA35,
    kDataPacket = 0xDA00,
    kDataAckPacket = 0xDE00,
    kStatusPacket = 0xC639,
};

constexpr std::size_t kHeaderSize = 28;
constexpr std::uint8_t kModuleId = 0xF9;

struct PacketHeader {
    std::uint16_t id = 0;
    std::uint32_t commStatus = 0;
    std::uint32_t bodyLength = 0;
    std::uint16_t command = 0;
    std::uint8_t moduleId = kModuleId;
    std::uint8_t commandStatus = 0;
    std::uint32_t value = 0;  // data length or status value, by packet kind

    Bytes encode() const;
    static PacketHeader decode(const std::uint8_t* p);  // p points at 28 bytes
};

const char* packetName(std::uint16_t id);

}  // namespace arraysim
