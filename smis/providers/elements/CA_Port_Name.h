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
// + bit 0 of the port's number byte. The number byte itself runs 0 to 3,
// with the module half as its bit 1, so it equals the published port
// number: a key's port number is the byte the tables and the array hold.
struct CA_Port_Name {
    std::uint16_t cm = 0;
    std::uint16_t ca = 0;
    std::uint16_t port = 0;

    static CA_Port_Name of(std::uint8_t moduleId, std::uint8_t portNo);
    // The published numbers as given (a key, an instance's properties).
    static CA_Port_Name fields(std::uint16_t cm, std::uint16_t ca, std::uint16_t port) { return {cm, ca, port}; }

    // Numbers a port can have: CM 0..7, CA 0..3, port 0..15.
    bool valid() const { return cm <= 7 && ca <= 3 && port <= 15; }
    // Back to the table's form: module id 0x40 | CA << 4 | port bit 1 << 2 | CM,
    // and the port's number byte (the published port: 2 and 3 on the second
    // half of a module). Port numbers 4 to 15 give a byte no port has.
    std::uint8_t moduleId() const
    {
        return static_cast<std::uint8_t>(0x40 | (ca & 3) << 4 | (port & 2) << 2 | (cm & 7));
    }
    std::uint8_t portNumber() const { return static_cast<std::uint8_t>(port); }
    // Whether a CA of that module id holds the port of these numbers.
    bool onModule(std::uint8_t moduleId) const { return of(moduleId, portNumber()) == *this; }

    bool operator==(const CA_Port_Name&) const = default;
    // "CM" + cm + "CA" + ca + "P" + port, each "%02u".
    std::string text() const;
    // The port a key of prefix + text() names ("FCP_CM00CA01P00" with
    // prefix "FCP_"); false for a key of another form, which no element
    // keyed so has.
    static bool ofKey(const char* key, const char* prefix, CA_Port_Name& port);
};

}  // namespace cimple
