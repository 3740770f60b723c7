#pragma once
// The slot numbers and the text that name a channel-adapter (CA) port in
// the keys of the port, endpoint and iSCSI classes.
//
//   CA_Port_Name n = CA_Port_Name::of(table.getCAModuleId(ca), table.getCAPortNo(ca, p));
//   n.text();   // "CM01CA02P03"

#include <cstdint>
#include <string>

namespace cimple {

// CM = module id bits 0-2, CA = bits 4-5, port = 2 x module half (bit 3)
// + bit 0 of the port's number byte.
struct CA_Port_Name {
    std::uint16_t cm = 0;
    std::uint16_t ca = 0;
    std::uint16_t port = 0;

    static CA_Port_Name of(std::uint8_t moduleId, std::uint8_t portNo);
    // "CM" + cm + "CA" + ca + "P" + port, each "%02u".
    std::string text() const;
};

}  // namespace cimple
