#pragma once
// What the port and iSCSI builders share in walking an array's channel
// adapters: the choice of iSCSI CAs, the walk over their present ports and
// the link word of a port in its CA's live link record.

#include <cstdint>

#include "SMIS_VorpakRecords.h"
#include "VELDARO_RefTable.h"

namespace cimple {

class CA_Port_Walk {
public:
    // True for the iSCSI CA kinds: real type AND 0xF000 is 0x2000, 0x3000
    // or 0x4000.
    static bool isiSCSIRealType(std::uint16_t realType);

    // The link word of a port in its CA's 0x4021 link record: the words
    // from byte 8 are indexed by the port number within the CA pair (2 x
    // module half + bit 0 of the port's number byte, the published port
    // number). 0 (no link) without a record.
    static std::uint16_t linkWord(const CMM_RSP_GET_CA_PORT_LINK_STS* record, std::uint8_t moduleId,
                                  std::uint8_t portNo);

    // Walks the present ports of the present iSCSI CAs in table order:
    // visit(caIndex, portIndex) -> 0 go on, anything else ends the walk and
    // is returned.
    template <class Visit>
    static int forEachiSCSIPort(const VELDARO_RefTable& table, Visit visit)
    {
        for (std::uint32_t ca = 0; ca < VELDARO_RefTable::getCAMaxCount(); ++ca) {
            const int c = static_cast<int>(ca);
            if (table.getCAStatus(c) == 0 || !isiSCSIRealType(table.getCARealType(c)))
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
};

}  // namespace cimple
