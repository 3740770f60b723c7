// Names of channel-adapter ports.

#include "CA_Port_Name.h"

#include <cstdio>
#include <cstring>

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

bool CA_Port_Name::ofKey(const char* key, const char* prefix, CA_Port_Name& port)
{
    if (!key || !prefix)
        return false;
    const std::size_t length = std::strlen(prefix);
    if (std::strncmp(key, prefix, length) != 0)
        return false;
    unsigned cm = 0, ca = 0, number = 0;
    if (std::sscanf(key + length, "CM%2uCA%2uP%2u", &cm, &ca, &number) != 3)
        return false;
    port = fields(static_cast<std::uint16_t>(cm), static_cast<std::uint16_t>(ca), static_cast<std::uint16_t>(number));
    return port.text() == key + length;
}

}  // namespace cimple
