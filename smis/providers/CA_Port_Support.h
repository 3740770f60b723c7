#pragma once
// What the builders of host-interface ports, their protocol endpoints and
// their iSCSI settings share: the numbers and the text that name a
// channel-adapter (CA) port, the choice of iSCSI CAs, and scoped release of
// table texts and of records the array channel hands out.
//
//   CA_Port_Name n = CA_Port_Name::of(table.getCAModuleId(ca), table.getCAPortNo(ca, p));
//   n.text();                                  // "CM01CA02P03"
//   Owned_Table_Text wwn(table.getCAPortWwn(ca, p));
//   if (!wwn) ... // missing text

#include <cimple/cimple.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "SMIS_VorpakRecords.h"
#include "VELDARO_RefTable.h"

namespace cimple {

// The slot numbers of a port: CM = module id bits 0-2, CA = bits 4-5, port
// = 2 x module half (bit 3) + bit 0 of the port's number byte.
struct CA_Port_Name {
    std::uint16_t cm = 0;
    std::uint16_t ca = 0;
    std::uint16_t port = 0;

    static CA_Port_Name of(std::uint8_t moduleId, std::uint8_t portNo);
    // "CM" + cm + "CA" + ca + "P" + port, each "%02u".
    std::string text() const;
};

// The link word of a port in its CA's 0x4021 link record: the words from
// byte 8 are indexed by the port number within the CA pair (2 x module half
// + bit 0 of the port's number byte, the published port number). 0 (no
// link) without a record.
std::uint16_t caPortLinkWord(const CMM_RSP_GET_CA_PORT_LINK_STS* record, std::uint8_t moduleId, std::uint8_t portNo);

// True for the iSCSI CA kinds: real type AND 0xF000 is 0x2000, 0x3000 or 0x4000.
bool isiSCSICARealType(std::uint16_t realType);

// A text of a VELDARO_RefTable text getter, released on every path.
class Owned_Table_Text {
public:
    explicit Owned_Table_Text(char* text) : _text(text) {}
    ~Owned_Table_Text() { VELDARO_RefTable::getMemFree(_text); }
    Owned_Table_Text(const Owned_Table_Text&) = delete;
    Owned_Table_Text& operator=(const Owned_Table_Text&) = delete;
    explicit operator bool() const { return _text != nullptr; }
    const char* get() const { return _text; }

private:
    char* _text;
};

// Records of the array channel (SMIS_Vorpak) are malloc'ed.
struct Free_Record {
    void operator()(void* p) const { std::free(p); }
};
template <class Record>
using Owned_Records = std::unique_ptr<Record, Free_Record>;

// Walks the present ports of the present iSCSI CAs in table order:
// visit(caIndex, portIndex) -> 0 go on, anything else ends the walk and is
// returned.
template <class Visit>
int forEachiSCSIPort(const VELDARO_RefTable& table, Visit visit)
{
    for (std::uint32_t ca = 0; ca < VELDARO_RefTable::getCAMaxCount(); ++ca) {
        const int c = static_cast<int>(ca);
        if (table.getCAStatus(c) == 0 || !isiSCSICARealType(table.getCARealType(c)))
            continue;
        for (std::uint32_t port = 0; port < VELDARO_RefTable::getCAPortMaxCount(); ++port) {
            const int p = static_cast<int>(port);
            if (table.getCAPortStatus(c, p) == 0)
                continue;
            if (const int result = visit(c, p))
                return result;
        }
    }
    return 0;
}

}  // namespace cimple
