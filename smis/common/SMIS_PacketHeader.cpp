#include "SMIS_PacketHeader.h"

#include <cstring>

#include "ByteOrder.h"

namespace cimple {

void SMIS_PacketHeader::encode(std::uint8_t* p) const
{
    std::memset(p, 0, SIZE);
    smis::storeBE16(p, packetId);
    smis::storeBE32(p + 4, commStatus);
    smis::storeBE32(p + 16, bodyLength);
    smis::storeBE16(p + 20, cmdCode);
    p[22] = moduleId;
    p[23] = cmdStatus;
    smis::storeBE32(p + 24, value);
}

void SMIS_PacketHeader::decode(const std::uint8_t* p)
{
    packetId = smis::loadBE16(p);
    commStatus = smis::loadBE32(p + 4);
    bodyLength = smis::loadBE32(p + 16);
    cmdCode = smis::loadBE16(p + 20);
    moduleId = p[22];
    cmdStatus = p[23];
    value = smis::loadBE32(p + 24);
}

bool SMIS_PacketHeader::isKnownId(std::uint16_t id)
{
    return id == COMMAND || id == ACKNOWLEDGE || id == DATA || id == DATA_ACKNOWLEDGE || id == FINAL_STATUS;
}

}  // namespace cimple
