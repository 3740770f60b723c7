// The 28-byte packet header against the golden bytes of docs/wire/packets.md.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "SMIS_PacketHeader.h"

using cimple::SMIS_PacketHeader;

TEST(SMIS_PacketHeader, CommandPacketOfTheConfigurationTableRequest)
{
    SMIS_PacketHeader h;
    h.packetId = SMIS_PacketHeader::COMMAND;
    h.bodyLength = 64;
    h.cmdCode = 0x4024;
    h.moduleId = 0xF9;
    std::uint8_t bytes[SMIS_PacketHeader::SIZE];
    h.encode(bytes);
    const std::vector<std::uint8_t> golden = {0xCE, 0x31, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                              0,    0,    0, 0, 0, 0x40, 0x40, 0x24, 0xF9, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::vector<std::uint8_t>(bytes, bytes + sizeof bytes), golden);
}

TEST(SMIS_PacketHeader, EveryFieldIsBigEndianAtItsOffset)
{
    std::uint8_t bytes[SMIS_PacketHeader::SIZE] = {0xC6, 0x39, 0xEE, 0xEE, 0x01, 0x02, 0x03, 0x04, 0xEE, 0xEE,
                                                   0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0x00, 0x00, 0x00, 0x41,
                                                   0x81, 0xAB, 0xF9, 0x70, 0x0A, 0x0B, 0x0C, 0x0D};
    SMIS_PacketHeader h;
    h.decode(bytes);
    EXPECT_EQ(h.packetId, 0xC639);
    EXPECT_EQ(h.commStatus, 0x01020304u);
    EXPECT_EQ(h.bodyLength, 0x41u);
    EXPECT_EQ(h.cmdCode, 0x81AB);
    EXPECT_EQ(h.moduleId, 0xF9);
    EXPECT_EQ(h.cmdStatus, 0x70);
    EXPECT_EQ(h.value, 0x0A0B0C0Du);
    // Writing clears the reserved bytes.
    std::uint8_t again[SMIS_PacketHeader::SIZE];
    h.encode(again);
    for (int i : {2, 3, 8, 9, 10, 11, 12, 13, 14, 15})
        EXPECT_EQ(again[i], 0) << i;
    for (int i : {0, 1, 4, 5, 6, 7, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27})
        EXPECT_EQ(again[i], bytes[i]) << i;
    EXPECT_TRUE(SMIS_PacketHeader::isKnownId(0xDE00));
    EXPECT_FALSE(SMIS_PacketHeader::isKnownId(0xDE01));
}
