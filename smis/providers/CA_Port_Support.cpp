// Names of channel-adapter ports and the iSCSI CA kinds.

#include "CA_Port_Support.h"

#include <cstdio>

#include "ByteOrder.h"

namespace cimple {

CA_Port_Name CA_Port_Name::of(std::uint8_t moduleId, std::uint8_t portNo)
{
    CA_Port_Name n;
    n.cm = moduleId & 0x07;
    n.ca = (moduleId >> 4) & 0x03;
    n.port = static_cast<std::uint16_t>(((moduleId >> 3) & 0x01) * 2 + (portNo & 0x01));
    return n;
}

std::string CA_Port_Name::text() const
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "CM%02uCA%02uP%02u", static_cast<unsigned>(cm), static_cast<unsigned>(ca),
                  static_cast<unsigned>(port));
    return buf;
}

std::uint16_t caPortLinkWord(const CMM_RSP_GET_CA_PORT_LINK_STS* record, std::uint8_t moduleId, std::uint8_t portNo)
{
    if (!record)
        return 0;
    const std::size_t index = CA_Port_Name::of(moduleId, portNo).port;
    return smis::loadLE16(record->bytes + 8 + 2 * index);
}

bool isiSCSICARealType(std::uint16_t realType)
{
    const unsigned kind = realType & 0xF000u;
    return kind == 0x2000 || kind == 0x3000 || kind == 0x4000;
}

}  // namespace cimple
