// Names of channel-adapter ports.

#include "CA_Port_Name.h"

#include <cstdio>

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

}  // namespace cimple
