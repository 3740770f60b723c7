#include "PacketHeader.hpp"

namespace arraysim {

Bytes PacketHeader::encode() const {
    WireBytes w(kHeaderSize);
    w.be16(0, id);
    w.be16(2, 0);
    w.be32(4, commStatus);
    w.be32(8, 0);
    w.be32(12, 0);
    w.be32(16, bodyLength);
    w.be16(20, command);
    w.u8(22, moduleId);
    w.u8(23, commandStatus);
    w.be32(24, value);
    return w.take();
}

PacketHeader PacketHeader::decode(const std::uint8_t* p) {
    PacketHeader h;
    h.id = static_cast<std::uint16_t>(loadBe(p, kHeaderSize, 0, 2));
    h.commStatus = static_cast<std::uint32_t>(loadBe(p, kHeaderSize, 4, 4));
    h.bodyLength = static_cast<std::uint32_t>(loadBe(p, kHeaderSize, 16, 4));
    h.command = static_cast<std::uint16_t>(loadBe(p, kHeaderSize, 20, 2));
    h.moduleId = static_cast<std::uint8_t>(p[22]);
    h.commandStatus = static_cast<std::uint8_t>(p[23]);
    h.value = static_cast<std::uint32_t>(loadBe(p, kHeaderSize, 24, 4));
    return h;
}

const char* packetName(std::uint16_t id) {
    switch (id) {
    case kCommandPacket: return "CE31";
    case kAckPacket: return "CA35";
    case kDataPacket: return "DA00";
    case kDataAckPacket: return "DE00";
    case kStatusPacket: return "C639";
    default: return "unknown";
    }
}

}  // namespace arraysim
